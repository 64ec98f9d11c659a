// The sensor's settings as the main dialog holds them (members of CKaldoSensorSettingDlg):
// defaults, and the checks a set must pass before anything is sent.
#pragma once

#define DEFAULT_ADDRESS 1
#define DEFAULT_INTERVAL 60
#define DEFAULT_RANGE_MAX 9999
#define DEFAULT_RANGE_MIN 0
#define DEFAULT_HIGH_ALARM 9999
#define DEFAULT_LOW_ALARM 0
#define DEFAULT_FREQUENCY "868500000"
#define DEFAULT_DEV_EUI "70B3D57ED0010727"
#define DEFAULT_APP_EUI "70B3D57ED0010727"
#define DEFAULT_APP_KEY "5A1F0C33E8D2B7946C0A17F4D39E2B61"
#define DEFAULT_NB_BAND "5"
#define DEFAULT_IMEI "460012345678966"
#define DEFAULT_SERVER_IP "255.255.255.255"
#define DEFAULT_SERVER_PORT "8080"

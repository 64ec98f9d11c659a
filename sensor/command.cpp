#include "sensor/command.h"

namespace sensor {

CString HexField(int nValue) {
    CString strField;
    strField.Format(HEX_FIELD_FORMAT, nValue);
    return strField;
}

CString ReadCommand(bool bLoraWan, int nSequence) {
    return (bLoraWan ? CMD_PREFIX_READ_LORAWAN : CMD_PREFIX_READ_NB) + HexField(nSequence);
}

CString SetCommand(bool bLoraWan, int nSequence, const Fields& fields) {
    CString strCommand =
        (bLoraWan ? CMD_PREFIX_SET_LORAWAN : CMD_PREFIX_SET_NB) + HexField(nSequence);
    for (const CString& strField : fields) {
        strCommand += ',';
        strCommand += strField;
    }
    return strCommand;
}

}  // namespace sensor

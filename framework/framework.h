// The dialog framework in one include, for the tool's code.
#pragma once

#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/cwnd.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/message_box.h"
#include "framework/message_queue.h"
#include "framework/win_thread.h"
#include "framework/window_styles.h"
#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/handle_table.h"
#include "platform/last_error.h"

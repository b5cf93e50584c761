#pragma once

// Application messages that threads post to windows. On Qt they travel as posted events whose
// type is the message number; the numbers stay as the program has always used them.
enum : unsigned {
    WM_APP = 0x8000,
    WM_APP_STATUS_TEXT = WM_APP + 1000,
    WM_APP_CONNECT_STATE = WM_APP + 1001,
    WM_APP_UPDATE_SOFTWARE = WM_APP + 1002,
    WM_APP_READ_TITLES = WM_APP + 1003,
    WM_APP_TRANSFER_DONE = WM_APP + 1006,
    WM_APP_TRANSFER_PROGRESS = WM_APP + 1007,
    WM_APP_DOWNLOAD_PROGRESS = WM_APP + 1008,
    WM_APP_UPDATE_STEP = WM_APP + 1010,
    WM_APP_OPEN_URL = WM_APP + 1011,
    WM_APP_NEED_UPDATE = WM_APP + 1013,
    WM_APP_ONLINE_BEGIN = WM_APP + 1015,
    WM_APP_ONLINE_END = WM_APP + 1016,
    WM_APP_TITLE_COUNT = WM_APP + 1017,
    WM_APP_UPDATE_FILE = WM_APP + 1018,
    WM_APP_UPDATE_COUNT = WM_APP + 1019,
    WM_APP_SHOW_ERROR = WM_APP + 1023,
    WM_APP_PORT_SEARCH_DONE = WM_APP + 1041,
};

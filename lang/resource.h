// Every dialog, control, string, icon and help-context id of the tool set, shared by the code and both language modules.
#pragma once

// IDOK 1, IDCANCEL 2 and IDHELP 9 come from the platform's headers; every dialog uses them for its
// OK, Cancel and Help buttons.

// Dialog templates.
#define IDD_PRODUCT_CHOICE          101
#define IDD_MONSTART_MESSAGE        102
#define IDD_LAN_CONFIG              109
#define IDD_PROGRESS_NOTE           112
#define IDD_IPIPX_CONFIG            118
#define IDD_MSNEAZ_PAGE             119
#define IDD_WAN_CONFIG              122
#define IDD_CONTROLLER              124
#define IDD_X31_CONFIG              128
#define IDD_INCALLER_PAGE           131
#define IDD_DEFAULT_PROTOCOLS_PAGE  133
#define IDD_LOGGING_PAGE            137
#define IDD_CONFIG_CENTER           139
#define IDD_FIRST_LINK              143
#define IDD_TRACING_PAGE            144

// Icons.
#define IDI_CONFIG_CENTER           116

// String table. The texts marked "%s" are printf formats that take one string.
#define IDS_CLEAN_NOTHING_DETECTED      1
#define IDS_MESSAGE_CAPTION             2
#define IDS_CLEAN_CONFIRM               3   // %s: the quoted names of the chosen product lines
#define IDS_DIALOG_NOT_CREATED          6   // %s: the short name of the dialog
#define IDS_CLEAN_RESTART_QUESTION      15  // %s: the quoted names of the removed product lines
#define IDS_DELFILES_NOT_FOUND          21
#define IDS_RESTART_FAILED              22
#define IDS_X31_NO_CHANNELS             25
#define IDS_WAN_NO_CONTROLLER           28
#define IDS_WAN_NONE_IN_USE             29
#define IDS_WAN_X31_TAKE_OVER           30
#define IDS_IPIPX_REPLACE_GATEWAYS      31
#define IDS_IPIPX_BAD_ADDRESS           32
#define IDS_FIRSTLINK_PASSWORD_MISMATCH 33
#define IDS_FIRSTLINK_BAD_PHONE         34
#define IDS_WAN_CAPTION                 36
#define IDS_CONTROLLER_CAPTION          37
#define IDS_NOTE_CLEAN_GATEWAY          47
#define IDS_NOTE_CLEAN_REMOTE_ACCESS    49
#define IDS_NOTE_CLEAN_ROUTER           51
#define IDS_NOTE_CAPTION                53
#define IDS_NOTE_STOP_GATEWAY           55
#define IDS_NOTE_STOP_REMOTE_ACCESS     56
#define IDS_NOTE_STOP_ROUTER            57
#define IDS_HELP_FILE_NOT_FOUND         59
#define IDS_CALLER_BAD_NUMBER           60
#define IDS_CALLER_REPLACE              61
#define IDS_TRACE_VIEWER_FAILED         62
#define IDS_DRIVER_UNREACHABLE          63
#define IDS_DRIVER_UNREACHABLE_CAPTION  64
#define IDS_ROUTER_NO_SEMICOLON         91

// Product choice of the clean-up program (101).
#define IDC_CHOICE_ROUTER               1000
#define IDC_CHOICE_REMOTE_ACCESS        1001
#define IDC_CHOICE_GATEWAY              1002
#define IDC_CHOICE_DELETE_FILES         1003
#define IDC_CHOICE_ROUTER_FOUND         1004
#define IDC_CHOICE_REMOTE_ACCESS_FOUND  1005
#define IDC_CHOICE_GATEWAY_FOUND        1006
#define IDC_CHOICE_INTRO                1007
#define IDC_CHOICE_LINES                1008

// Message dialog of the monitor launcher (102).
#define IDC_MONSTART_TEXT               1003

// LAN configuration (109).
#define IDC_LAN_LIST                    1016
#define IDC_LAN_OWN                     1017
#define IDC_LAN_RELEASE                 1018

// Information window (112). The command sets the text; its parameter is the text itself.
#define IDC_NOTE_TEXT                   1023
#define IDM_NOTE_SET_TEXT               1000

// IP/IPX configuration (118).
#define IDC_IPIPX_NET_NUMBER            1000
#define IDC_IPIPX_NEW_NUMBER            1002
#define IDC_IPIPX_GATEWAY               1022
#define IDC_IPIPX_ADDRESS               1034
#define IDC_IPIPX_MASK                  1035
#define IDC_IPIPX_LAN_ADDRESSES         1067
#define IDC_IPIPX_MAPPING               1093
#define IDC_IPIPX_LAN_LABEL             1095
#define IDC_IPIPX_NET_LABEL             1098
#define IDC_IPIPX_NET_HINT              1099
#define IDC_IPIPX_MAPPED_ADDRESS        1102
#define IDC_IPIPX_MAPPED_MASK           1103

// MSN/EAZ page (119).
#define IDC_MSNEAZ_PROTOCOL             1065
#define IDC_MSNEAZ_LIST                 1066
#define IDC_MSNEAZ_ADD                  1067
#define IDC_MSNEAZ_DELETE               1068
#define IDC_MSNEAZ_NUMBER               1079

// WAN configuration (122).
#define IDC_WAN_LIST                    1009
#define IDC_WAN_X31_LABEL               1019
#define IDC_WAN_MODEM                   1022
#define IDC_WAN_EDIT                    1052
#define IDC_WAN_ENABLE                  1058
#define IDC_WAN_DISABLE                 1059
#define IDC_WAN_X31                     1078

// Controller settings (124).
#define IDC_CONTROLLER_NICKNAME         1032
#define IDC_CONTROLLER_PHONE            1034
#define IDC_CONTROLLER_DEVICE           1053
#define IDC_CONTROLLER_MANUFACTURER     1054
#define IDC_CONTROLLER_CHANNELS         1055
#define IDC_CONTROLLER_IN_USE           1056
#define IDC_CONTROLLER_LEASED_LINE      1075

// X.31 configuration (128); 1082, 1083 and 1084 to 1090 are labels shown and hidden with the settings.
#define IDC_X31_ENABLED                 1022
#define IDC_X31_ADDRESS                 1032
#define IDC_X31_HIGHEST_TWO_WAY         1055
#define IDC_X31_WIN_SIZE                1065
#define IDC_X31_WIN_SIZE_MAX            1066
#define IDC_X31_PACKET_SIZE             1067
#define IDC_X31_TEI                     1068
#define IDC_X31_PACKET_SIZE_MAX         1069
#define IDC_X31_WIN_SIZE_NEG            1072
#define IDC_X31_PACKET_SIZE_NEG         1073
#define IDC_X31_LABEL_FIRST             1082
#define IDC_X31_LABEL_LAST              1090

// Incoming-caller page (131).
#define IDC_CALLER_CHECK_FLAG0          1022
#define IDC_CALLER_CHECK_FLAG1          1023
#define IDC_CALLER_NUMBER               1032
#define IDC_CALLER_NAME                 1034
#define IDC_CALLER_ADD                  1067
#define IDC_CALLER_DELETE               1068
#define IDC_CALLER_UNMARK               1070
#define IDC_CALLER_MARK                 1071
#define IDC_CALLER_LIST                 1080
#define IDC_CALLER_COLLECT              1081

// Default protocols page (133).
#define IDC_OUT_HDLC                    1073
#define IDC_OUT_X75                     1074
#define IDC_OUT_V110                    1075
#define IDC_IN_HDLC                     1076
#define IDC_IN_X75                      1077
#define IDC_IN_V110                     1078
#define IDC_OUT_V120                    1079
#define IDC_IN_V120                     1080

// Level check boxes of the logging and tracing pages: bit i of the mask is box 1022 + i.
#define IDC_LEVEL_BIT0                  1022
#define IDC_LEVEL_BIT6                  1028
#define IDC_LEVEL_BIT7                  1029

// Logging page (137).
#define IDC_LOG_FILE_NAME               1032
#define IDC_LOG_APPLY_NOW               1085
#define IDC_LOG_VIEW                    1086
#define IDC_LOG_BACKUPS                 1087
#define IDC_LOG_SIZE                    1088
#define IDC_LOG_STORE_LEVEL             1089

// Tracing page (144).
#define IDC_TRACE_STORE_LEVEL           1060
#define IDC_TRACE_APPLY_NOW             1061
#define IDC_TRACE_VIEW                  1062
#define IDC_TRACE_BACKUPS               1082
#define IDC_TRACE_SIZE                  1083
#define IDC_TRACE_FILE_NAME             1084

// Configuration center (139): one button per page.
#define IDC_CENTER_TRACING              1063
#define IDC_CENTER_LOGGING              1064
#define IDC_CENTER_DEFAULT_PROTOCOLS    1080
#define IDC_CENTER_INCALLER             1081
#define IDC_CENTER_MSNEAZ               1095

// First link (143).
#define IDC_FIRSTLINK_PHONE             1093
#define IDC_FIRSTLINK_NO_PROTOCOL       1094
#define IDC_FIRSTLINK_X75               1095
#define IDC_FIRSTLINK_V110              1096
#define IDC_FIRSTLINK_USER              1097
#define IDC_FIRSTLINK_PASSWORD          1098
#define IDC_FIRSTLINK_CONFIRM           1099

// Help contexts in setupENG.hlp and setupGER.hlp.
#define IDH_IPIPX_CONFIG                2000
#define IDH_LAN_CONFIG                  2002
#define IDH_CONTROLLER                  2003
#define IDH_WAN_CONFIG                  2004
#define IDH_X31_CONFIG                  2005
#define IDH_FIRST_LINK                  2010
#define IDH_INCALLER_PAGE               2101
#define IDH_LOGGING_PAGE                2102
#define IDH_MSNEAZ_PAGE                 2103
#define IDH_DEFAULT_PROTOCOLS_PAGE      2104
#define IDH_TRACING_PAGE                2105
#define IDH_CONFIG_CENTER               2106
#define IDH_MONSTART_MESSAGE            2107

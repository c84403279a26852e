#pragma once
// The shell-browser library's string table: identifiers and the texts that the table holds.
// Included by the resource script and by the code (which falls back to the same texts should a
// program be linked without the table).

#define IDS_SB_NEW_FOLDER 32100
#define IDS_SB_CREATE_FOLDER_FAILED 32101
#define IDS_SB_KEY_SELECT_ALL 32102
#define IDS_SB_KEY_DELETE 32103
#define IDS_SB_KEY_COPY 32104
#define IDS_SB_KEY_CUT 32105
#define IDS_SB_KEY_PASTE 32106
#define IDS_SB_KEY_REFRESH 32107
#define IDS_SB_KEY_RENAME 32108
#define IDS_SB_BROWSE_CAPTION 32109
#define IDS_SB_FONT_NAME 32110
#define IDS_SB_OK 32111
#define IDS_SB_CANCEL 32112
#define IDS_SB_CREATE_FOLDER_HINT 32113
#define IDS_SB_CREATE_FOLDER_HELP 32114
#define IDS_SB_DELETE_HINT 32115
#define IDS_SB_DELETE_HELP 32116

#define TXT_SB_NEW_FOLDER "New Folder"
#define TXT_SB_CREATE_FOLDER_FAILED "Unable to create the folder '%2'\n\n%1"
#define TXT_SB_KEY_SELECT_ALL "Ctrl+A"
#define TXT_SB_KEY_DELETE "Del"
#define TXT_SB_KEY_COPY "Ctrl+C"
#define TXT_SB_KEY_CUT "Ctrl+X"
#define TXT_SB_KEY_PASTE "Ctrl+V"
#define TXT_SB_KEY_REFRESH "F5"
#define TXT_SB_KEY_RENAME "F2"
#define TXT_SB_BROWSE_CAPTION "Browse for Folder"
#define TXT_SB_FONT_NAME "MS Sans Serif"
#define TXT_SB_OK "OK"
#define TXT_SB_CANCEL "Cancel"
#define TXT_SB_CREATE_FOLDER_HINT "Create Folder"
#define TXT_SB_CREATE_FOLDER_HELP "Creates a new, empty folder."
#define TXT_SB_DELETE_HINT "Delete"
#define TXT_SB_DELETE_HELP "Deletes the selected items."

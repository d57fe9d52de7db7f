#include "band/CBandFolderMenu.h"

void CBandFolderMenu::FillRootMenu(HMENU popup) {
    // The band has no folders-only option: its drop-downs always list files too.
    if (m_folder != nullptr) {
        FillWithFolder(popup, m_folder, false);
    }
}

#include "app/save_dialog_type.h"

#include <commdlg.h>

UINT_PTR CALLBACK SaveTypeHook(HWND hook, UINT message, WPARAM, LPARAM lparam)
{
    if (message == WM_NOTIFY) {
        const OFNOTIFYA* notify = reinterpret_cast<const OFNOTIFYA*>(lparam);
        // NOTE: an Explorer-style dialog's hook window is a child of the dialog.
        if (notify->hdr.code == CDN_TYPECHANGE)
            SendMessageA(GetParent(hook), CDM_SETDEFEXT, 0,
                         reinterpret_cast<LPARAM>(SaveTypeExtension(notify->lpOFN->nFilterIndex)));
    }
    return 0;
}

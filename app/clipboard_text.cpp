#include "app/clipboard_text.h"

#include <cstring>

// At most this many of the clipboard's formats are kept through a hand-over.
constexpr int kKeptFormats = 32;

struct KeptFormat {
    UINT format;
    HGLOBAL copy;
};

// A moveable global block holding size bytes from bytes; null when memory ran out.
static HGLOBAL CopyToGlobal(const void* bytes, SIZE_T size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr)
        return nullptr;
    void* copy = GlobalLock(memory);
    if (copy == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(copy, bytes, size);
    GlobalUnlock(memory);
    return memory;
}

// Whether the data of format is a global block of bytes, which a copy keeps:
// the standard formats but four, and the registered ones. NOTE: EmptyClipboard
// deletes the GDI objects of CF_BITMAP, CF_PALETTE and CF_ENHMETAFILE and the
// metafile inside CF_METAFILEPICT, and the owner draws CF_OWNERDISPLAY and the
// CF_DSP formats and holds its private ones itself: those do not come back.
// Nor does the owner: the dialog owns what comes back, and formats the owner
// rendered only on request are rendered for the copy.
static bool Keepable(UINT format)
{
    const UINT kHandles = 1u << CF_BITMAP | 1u << CF_METAFILEPICT | 1u << CF_PALETTE |
                          1u << CF_ENHMETAFILE;
    return format >= 0xC000 || (format < 32 && ((kHandles >> format) & 1) == 0);
}

bool SetClipboardText(HWND owner, const char* text, std::size_t length, SetClipboardDataFunction set)
{
    HGLOBAL memory = CopyToGlobal(text, length + 1);
    if (memory == nullptr)
        return false;
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    // Copies of what the clipboard holds, put back when the hand-over fails.
    KeptFormat kept[kKeptFormats];
    int count = 0;
    for (UINT format = 0; count < kKeptFormats && (format = EnumClipboardFormats(format)) != 0;) {
        HANDLE data = Keepable(format) ? GetClipboardData(format) : nullptr;
        const SIZE_T size = data != nullptr ? GlobalSize(data) : 0;
        const void* bytes = size != 0 ? GlobalLock(data) : nullptr;
        if (bytes == nullptr)
            continue;
        kept[count].format = format;
        kept[count].copy = CopyToGlobal(bytes, size);
        GlobalUnlock(data);
        if (kept[count].copy != nullptr)
            ++count;
    }
    const bool handedOver = EmptyClipboard() && set(CF_TEXT, memory) != nullptr;
    for (int i = 0; i < count; ++i) {
        // The clipboard owns a copy it took.
        if (handedOver || set(kept[i].format, kept[i].copy) == nullptr)
            GlobalFree(kept[i].copy);
    }
    CloseClipboard();
    if (!handedOver)
        GlobalFree(memory);
    return handedOver;
}

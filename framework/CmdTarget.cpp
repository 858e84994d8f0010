#include "framework/CmdTarget.h"

const MessageMap* CCmdTarget::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = { { 0, 0, 0, nullptr } };
    static const MessageMap map = { nullptr, entries };
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const MessageMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* entry = map->pEntries; entry->pfnThunk; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND && (entry->nID != LOWORD(wParam) || entry->nCode != HIWORD(wParam)))
                continue;
            result = entry->pfnThunk(this, wParam, lParam);
            return true;
        }
    }
    return false;
}

#pragma once
// Message maps: tables that bind window messages and commands to member handlers.
//
//   class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_BN_CLICKED(IDC_BUTTON, &CMyDlg::OnButton)
//       ON_WM_DESTROY()
//   END_MESSAGE_MAP()
//
// Each entry holds a small function that casts the target to the declaring class and calls the
// handler; a lookup walks the class's table, then its base class's.
#include <windows.h>

#include <type_traits>

class CCmdTarget;

typedef LRESULT (*MessageThunk)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT nMessage;            // window message
    UINT nCode;               // WM_COMMAND only: notification code
    UINT nID;                 // WM_COMMAND only: control or command identifier
    MessageThunk pfnThunk;    // null ends the table
};

struct MessageMap {
    const MessageMap* (*pfnGetBaseMap)();  // null for the root
    const MessageMapEntry* pEntries;
};

// Anything that receives messages through a message map: dialogs and the application.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler that the map binds to the message; false when there is none.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const MessageMap* GetThisMessageMap(); \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MessageMap* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const MessageMapEntry entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, nullptr } \
        }; \
        static_assert(std::is_base_of<TheBaseClass, ThisClass>::value, "base class of the map"); \
        static const MessageMap map = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &map; \
    }

#define TOLVANE_THIS(target) static_cast<ThisClass*>(target)

// WM_COMMAND with notification code 0: a menu or accelerator command, or a button click.
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, static_cast<UINT>(id), \
      [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { (TOLVANE_THIS(t)->*(memberFxn))(); return 0; } },

// A button's click notification (BN_CLICKED is 0) arrives like a command.
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    { static_cast<UINT>(message), 0, 0, \
      [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { return (TOLVANE_THIS(t)->*(memberFxn))(w, l); } },

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { TOLVANE_THIS(t)->OnPaint(); return 0; } },

#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { TOLVANE_THIS(t)->OnDestroy(); return 0; } },

#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
        return reinterpret_cast<LRESULT>(TOLVANE_THIS(t)->OnQueryDragIcon()); } },

#define ON_WM_DROPFILES() \
    { WM_DROPFILES, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
        TOLVANE_THIS(t)->OnDropFiles(reinterpret_cast<HDROP>(w)); return 0; } },

#define ON_WM_HELPINFO() \
    { WM_HELP, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT { \
        return TOLVANE_THIS(t)->OnHelpInfo(reinterpret_cast<HELPINFO*>(l)); } },

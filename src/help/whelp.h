#pragma once
// The help window: the help text in a read-only scrolling area, and "OK".
#include "platform/push_button.h"
#include "platform/text_area.h"
#include "platform/window.h"

class Whelp : public Window {
public:
    void Layout() override;
    void CreateControls() override;
    void Event_Open() override;

    TextArea* EditField1() const { return Control<TextArea>("EditField1"); }
    PushButton* PushButton1() const { return Control<PushButton>("PushButton1"); }
    void PushButton1_Action(PushButton* button);

    // The open help window, constructed on the first call.
    static Whelp* Instance();
};

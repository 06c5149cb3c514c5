#pragma once
// The about window: name, version and maker, "OK", and the maker's web site.
#include "platform/label.h"
#include "platform/push_button.h"
#include "platform/window.h"

// The maker's web address.
inline const char* const kMakerWebSite = "https://example.org/lexivane";

class aboutLV : public Window {
public:
    void Layout() override;
    void CreateControls() override;

    Label* StaticText1() const { return Control<Label>("StaticText1"); }
    PushButton* PushButton1() const { return Control<PushButton>("PushButton1"); }
    PushButton* PushButton2() const { return Control<PushButton>("PushButton2"); }
    void PushButton1_Action(PushButton* button);
    void PushButton2_Action(PushButton* button);

    // The open about window, constructed on the first call.
    static aboutLV* Instance();
};

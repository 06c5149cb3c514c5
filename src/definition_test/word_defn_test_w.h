#pragma once
// The definition test: the test words on the left, their definitions shuffled on the
// right; the user drags definitions beside their words and presses Done to be scored.
#include "platform/check_box.h"
#include "platform/graphics.h"
#include "platform/listbox.h"
#include "platform/push_button.h"
#include "platform/window.h"

class WordDefnTestW : public Window {
public:
    // Properties.
    bool isdone = false;
    QString testTakerName;
    qint32 testtaketime = 0;
    qint32 endtime = 0;
    qint32 starttime = 0;
    qint32 wronganswers = 0;
    qint32 testitemcount = 0;
    qint32 clickedcell = 0;
    bool copyanswers = false;

    // Window events.
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Event_Resized() override;
    void Event_Activate() override;
    void Event_Open() override;
    void Event_EnableMenuItems() override;

    // Controls.
    Listbox* ListBox1() const { return Control<Listbox>("ListBox1"); }
    Listbox* ListBox2() const { return Control<Listbox>("ListBox2"); }
    PushButton* PushButton1() const { return Control<PushButton>("PushButton1"); }
    PushButton* PushButton2() const { return Control<PushButton>("PushButton2"); }
    Listbox* Listbox3() const { return Control<Listbox>("Listbox3"); }
    CheckBox* CBcopyanswers() const { return Control<CheckBox>("CBcopyanswers"); }

    // Control events.
    void ListBox1_Open(Listbox* list);
    bool ListBox2_CellBackgroundPaint(Listbox* list, Graphics& g, int row, int column);
    // Says in words what the cell's colour shows.
    QString ListBox2_CellDescription(Listbox* list, int row, int column);
    void ListBox2_Open(Listbox* list);
    bool ListBox2_DragReorderRows(Listbox* list, int newPosition, int parentRow);
    bool ListBox2_CellClick(Listbox* list, int row, int column, int x, int y);
    void PushButton1_Action(PushButton* button);
    void PushButton1_Open(PushButton* button);
    void PushButton2_Action(PushButton* button);
    void CBcopyanswers_Action(CheckBox* box);

    // Menu handler of Copy List while this window is in front.
    bool editcopylist_Action();

    // Sets up a test from the main window's list.
    void DoTest();

    // The open test window, constructed on the first call.
    static WordDefnTestW* Instance();
};

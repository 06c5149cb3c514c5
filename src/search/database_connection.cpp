// Opening the word database beside the application when the main window opens.
#include "search/window1.h"

#include "platform/message_box.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"

void Window1::Event_Open()
{
    db = std::make_unique<Database>();
    f = GetFolderItem("LexivaneDB", 0);
    db->SetDatabaseFile(f);
    if (db->Connect()) {
        MsgBox("The database is opened." + Chr(13) + "Lexivane v 0.6.01");
        randomize = std::make_unique<Random>();
    } else {
        Beep();
        MsgBox("The database couldn't be opened. Program will quit." + Chr(13)
               + "Lexivanedb must be in Lexivane Folder");
        Quit(0);
    }
    EFfindword()->SetFocus();
}

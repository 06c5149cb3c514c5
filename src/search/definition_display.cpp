// Showing the selected word's definitions, and the dictionary and speech options.
#include "search/window1.h"

#include "platform/desktop.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"

#include <optional>

namespace {
// The "definition" of the first record for the id, or no value when there is none.
std::optional<QString> definitionOf(Database* db, const QString& id)
{
    std::unique_ptr<RecordSet> rs = db->SQLSelect("select * from thewords where id = " + id, false);
    NilCheck(rs.get())->MoveFirst();
    if (rs->Eof()) return std::nullopt;
    return NilCheck(rs->Field("definition"))->StringValue();
}
}  // namespace

void Window1::Listbox1_Change(Listbox* list)
{
    TextArea* area = EFdefinition();
    if (list->SelCount() > 0) {
        const QString ids = list->CellTag(list->ListIndex(), 0);
        Database* database = NilCheck(db.get());
        if (CountFields(ids, ",") == 1) {
            if (auto definition = definitionOf(database, ids)) {
                area->SetText(*definition);
                area->Refresh(true);
            }
        } else {
            area->SetText("");
            for (int i = 1; i <= CountFields(ids, ","); ++i) {
                if (auto definition = definitionOf(database, NthField(ids, ",", i))) {
                    area->SetText(area->Text() + Str(qint64(i)) + ".  " + *definition + Chr(13));
                    area->Refresh(true);
                }
                YieldToFramework();
            }
        }
        const QString word = list->Cell(list->ListIndex(), 0);
        if (alwaysOpenDictionary) ShowURL("dict:///" + word);
        if (UseSpeak) Speak(word + "  ,," + area->Text(), true);
    } else {
        area->SetText("");
        area->Refresh(true);
        // With nothing selected there is no word to speak.
    }
}

void Window1::CheckBox1_Action(CheckBox* box)
{
    alwaysOpenDictionary = box->Value();
}

void Window1::CheckBox2_Action(CheckBox* box)
{
    UseSpeak = box->Value();
}

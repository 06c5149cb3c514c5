// Setting up a test from the main list: choosing the words, fetching one definition for
// each, and shuffling the definitions.
#include "definition_test/word_defn_test_w.h"

#include "platform/message_box.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"
#include "search/window1.h"

#include <vector>

bool Window1::OptionsDefinitiontest_Action()
{
    WordDefnTestW::Instance()->isdone = false;
    WordDefnTestW::Instance()->DoTest();
    return true;
}

namespace {
// The definition of the first record for the id, or the empty text when the query fails
// or finds nothing: the test then shows an empty definition rather than stopping.
QString definitionFor(Database* db, const QString& id)
{
    std::unique_ptr<RecordSet> rs = db->SQLSelect("select * from thewords where id = " + id, false);
    if (!rs) return QString();
    rs->MoveFirst();
    if (rs->Eof()) return QString();
    DatabaseField* field = rs->Field("definition");
    return field ? field->StringValue() : QString();
}
}  // namespace

void WordDefnTestW::DoTest()
{
    Window1* main = Window1::Instance();
    Listbox* mainList = main->Listbox1();
    Random* random = NilCheck(main->randomize.get());
    Database* db = NilCheck(main->db.get());

    // Element 0 of both arrays is a placeholder that is never read.
    std::vector<QString> entries(1);
    std::vector<QString> shuffled(1);
    const int n = mainList->ListCount();

    bool takeTwenty = false;
    if (n > 20) {
        MessageDialog dialog;
        dialog.SetIcon(3);
        dialog.ActionButton()->SetCaption("OK");
        dialog.CancelButton()->SetVisible(true);
        dialog.SetMessage("More than 20 words in list, take 20 words?");
        dialog.SetExplanation("Words will be selected randomly. ");
        MessageDialogButton* pressed = dialog.ShowModal();
        if (pressed == dialog.ActionButton()) {
            takeTwenty = true;
        } else if (pressed == dialog.CancelButton()) {
            Close();
            return;
        }
    }

    ListBox1()->DeleteAllRows();
    ListBox2()->DeleteAllRows();
    Listbox* staging = Listbox3();
    staging->DeleteAllRows();
    auto stage = [&](int row) {
        staging->AddRow(mainList->Cell(row, 0));
        staging->SetCellTag(staging->LastIndex(), 0, mainList->CellTag(row, 0));
    };

    int count = n;
    if (takeTwenty && n < 100) {
        // Thin the rows out by random removals, so the test keeps the list's order.
        std::vector<int> candidates;
        for (int r = 0; r < n; ++r) candidates.push_back(r);
        while (int(candidates.size()) - 1 > 19) {
            const int j = int(random->InRange(0, int(candidates.size()) - 1));
            candidates.erase(candidates.begin() + j);
            YieldToFramework();
        }
        for (int i = 0; i <= 19; ++i) stage(candidates[size_t(i)]);
        count = 20;
    } else if (takeTwenty) {
        // Draw until twenty distinct rows have come, in the order drawn.
        Dictionary drawn;
        std::vector<int> draws(1);
        while (int(draws.size()) - 1 < 20) {
            const int r = int(random->InRange(0, n - 1));
            if (!drawn.HasKey(r)) {
                drawn.SetValue(r, true);
                draws.push_back(r);
            }
            YieldToFramework();
        }
        for (size_t i = 1; i < draws.size(); ++i) stage(draws[i]);
        count = 20;
    } else {
        for (int r = 0; r <= n - 1; ++r) {
            stage(r);
            YieldToFramework();
        }
    }

    for (int i = 0; i <= count - 1; ++i) {
        QString tag = staging->CellTag(i, 0);
        const int fields = CountFields(tag, ",");
        if (fields > 1) tag = NthField(tag, ",", int(random->InRange(1, fields)));
        const QString definition = definitionFor(db, tag);
        const QString answer = TextEquals(definition, "") ? "-1" : Str(qint64(i));
        entries.push_back(definition + Chr(13) + answer);
        YieldToFramework();
    }

    for (int k = 0; k < count; ++k) {
        const int r = int(random->InRange(1, int(entries.size()) - 1));
        shuffled.push_back(entries[size_t(r)]);
        entries.erase(entries.begin() + r);
        YieldToFramework();
    }

    // A window reused after a scored test starts the new test as a fresh one would.
    SetTitle("Click & Drag Definitions to match Words");
    PushButton1()->SetCaption("Done");

    for (int k = 1; k <= staging->ListCount(); ++k) {
        ListBox1()->AddRow(staging->Cell(k - 1, 0));
        const QString& entry = shuffled[size_t(k)];
        // The answer tag follows the last carriage return; a definition may hold others.
        const int cut = entry.lastIndexOf(QChar(13));
        ListBox2()->AddRow(entry.left(cut));
        ListBox2()->SetCellTag(ListBox2()->LastIndex(), 0, entry.mid(cut + 1));
        YieldToFramework();
    }
    ListBox1()->Refresh(true);
    ListBox2()->Refresh(true);
    staging->DeleteAllRows();
    Show();
    starttime = Ticks();
}

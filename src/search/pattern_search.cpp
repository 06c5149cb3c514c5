// The search field's key filter and the pattern search that fills the result list.
#include "search/window1.h"

#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/runtime.h"
#include "platform/text_functions.h"

bool Window1::EFfindword_KeyDown(TextField*, const QString& key)
{
    EFfindword()->SetReadOnly(false);
    const bool outsideAlphabet = CompareText(key, "a") < 0 || CompareText(key, "z") > 0;
    if (outsideAlphabet && !TextEquals(key, "-")) {
        // Backspace and the arrows must keep working, and while one of them is held
        // any key goes in.
        const bool editingKeyDown = Keyboard::AsyncKeyDown(51) || Keyboard::AsyncKeyDown(123)
                                    || Keyboard::AsyncKeyDown(124);
        if (!editingKeyDown) EFfindword()->SetReadOnly(true);
    }
    return false;
}

void Window1::PushButton1_Action(PushButton*)
{
    getwords();
}

void Window1::getwords()
{
    QString pattern = ReplaceAll(EFfindword()->Text(), "-", "_");
    // A pasted quote must not end the pattern early: doubled, it matches a quote and
    // the statement stays one select.
    pattern = ReplaceAll(pattern, "'", "''");
    const QString query = "SELECT * from thewords where word like '" + pattern + "'";

    std::unique_ptr<RecordSet> rs = NilCheck(db.get())->SQLSelect(query, false);
    if (db->Error()) {
        MsgBox(db->ErrorMessage());
        return;
    }
    NilCheck(rs.get());
    if (rs->RecordCount() <= 0) {
        Listbox1()->DeleteAllRows();
        return;
    }
    rs->MoveFirst();
    Listbox* list = Listbox1();
    list->DeleteAllRows();
    QString previousWord;
    // Made once rather than once per record: a search may read 200,000 records.
    static const QString contractionOf = "contraction of";
    while (!rs->Eof()) {
        if (!TextEquals(NilCheck(rs->Field(QStringLiteral("type")))->StringValue(), contractionOf)) {
            const QString& word = NilCheck(rs->Field(QStringLiteral("word")))->StringValue();
            const qint64 id = NilCheck(rs->Field(QStringLiteral("id")))->IntegerValue();
            // The first record always starts a row, even one whose word is empty.
            if (list->ListCount() == 0 || !TextEquals(word, previousWord)) {
                list->AddRow(word);
                list->SetCellTag(list->LastIndex(), 0, Str(id));
                previousWord = word;
            } else {
                // Extended where it stands: a word of many senses grows its tag id by id.
                QString tag = list->CellTag(list->LastIndex(), 0);
                tag += u',';
                tag += Str(id);
                list->SetCellTag(list->LastIndex(), 0, tag);
            }
        }
        rs->MoveNext();
        YieldToFramework();
    }
    StaticText3()->SetText(Str(qint64(list->ListCount())));
    StaticText3()->Refresh(true);
}

#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

QString DisplayText(const QString& text)
{
    QString shown = text;
    shown.replace("\r\n", "\n");
    shown.replace('\r', '\n');
    return shown;
}

void MsgBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), DisplayText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

MessageDialog::MessageDialog()
{
    action_.SetCaption("OK");
    action_.SetVisible(true);
    cancel_.SetCaption("Cancel");
}

MessageDialogButton* MessageDialog::ShowModal()
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(message_));
    box.setInformativeText(DisplayText(explanation_));
    switch (icon_) {
    case 0: box.setIcon(QMessageBox::Information); break;
    case 1: box.setIcon(QMessageBox::Warning); break;
    case 2: box.setIcon(QMessageBox::Critical); break;
    case 3: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    QPushButton* action = box.addButton(action_.Caption(), QMessageBox::AcceptRole);
    QPushButton* cancel = nullptr;
    if (cancel_.Visible()) cancel = box.addButton(cancel_.Caption(), QMessageBox::RejectRole);
    box.setDefaultButton(action);
    if (cancel) box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == action) return &action_;
    return &cancel_;
}

#pragma once
// Modal messages. Text is always shown as plain text; a carriage return breaks the line.
#include <QString>
#include <memory>

// Shows the text and waits until the user dismisses it.
void MsgBox(const QString& text);

class MessageDialogButton {
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

private:
    QString caption_;
    bool visible_ = false;
};

class MessageDialog {
public:
    MessageDialog();
    // 0 note, 1 caution, 2 stop, 3 question; -1 none.
    int Icon() const { return icon_; }
    void SetIcon(int icon) { icon_ = icon; }
    QString Message() const { return message_; }
    void SetMessage(const QString& message) { message_ = message; }
    QString Explanation() const { return explanation_; }
    void SetExplanation(const QString& explanation) { explanation_ = explanation; }
    MessageDialogButton* ActionButton() { return &action_; }
    MessageDialogButton* CancelButton() { return &cancel_; }
    // Waits for the user and gives the button pressed; closing the dialog is a Cancel.
    MessageDialogButton* ShowModal();

private:
    int icon_ = 0;
    QString message_;
    QString explanation_;
    MessageDialogButton action_;
    MessageDialogButton cancel_;
};

// The program's texts end lines with carriage returns; the toolkit breaks on newlines.
QString DisplayText(const QString& text);

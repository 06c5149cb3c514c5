#include "platform/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextToSpeech>
#include <QUrl>
#include <cstdio>

QString Clipboard::Text() const
{
    return dirty_ ? text_ : QGuiApplication::clipboard()->text();
}

void Clipboard::Close()
{
    if (!dirty_) return;
    QGuiApplication::clipboard()->setText(text_);
    dirty_ = false;
}

void ShowURL(const QString& address)
{
    // "scheme:///rest": build the address from its parts, so that "#", "?" or a blank in
    // the rest stay part of the path instead of cutting it or being refused.
    static const QRegularExpression localForm("^([A-Za-z][A-Za-z0-9+.-]*):///(.*)$",
                                              QRegularExpression::DotMatchesEverythingOption);
    QUrl url;
    const auto match = localForm.match(address);
    if (match.hasMatch()) {
        url.setScheme(match.captured(1));
        url.setHost(QString());
        url.setPath("/" + match.captured(2), QUrl::DecodedMode);
    } else {
        url = QUrl(address, QUrl::TolerantMode);
    }
    QDesktopServices::openUrl(url);
}

namespace {
std::function<void(const QString&, bool)> speechSink;

QTextToSpeech* speechEngine()
{
    static QTextToSpeech* engine = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        engine = new QTextToSpeech(qApp);
        if (engine->state() == QTextToSpeech::Error) {
            std::fprintf(stderr, "lexivane: speech is not available: %s\n",
                         qPrintable(engine->errorString()));
            delete engine;
            engine = nullptr;
        }
    }
    return engine;
}
}  // namespace

void Speak(const QString& text, bool interrupt)
{
    if (speechSink) {
        speechSink(text, interrupt);
        return;
    }
    QTextToSpeech* engine = speechEngine();
    if (!engine) return;
    if (interrupt) engine->stop();
    QString spoken = text;
    spoken.replace('\r', '\n');
    engine->say(spoken);
}

void SetSpeechSinkForTesting(std::function<void(const QString&, bool)> sink)
{
    speechSink = std::move(sink);
}

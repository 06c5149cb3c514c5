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
    // "scheme:///rest": build the address from its parts, with the rest percent-encoded
    // except for letters, digits and "-._~": "#" or "?" cannot cut it, and no handler that
    // hands its address to a shell finds a character the shell would act on.
    static const QRegularExpression localForm("^([A-Za-z][A-Za-z0-9+.-]*):///(.*)$",
                                              QRegularExpression::DotMatchesEverythingOption);
    QUrl url;
    const auto match = localForm.match(address);
    if (match.hasMatch()) {
        url.setScheme(match.captured(1));
        // An empty host, not a null one: a null host drops the "//" and the desktop
        // would get "dict:/word".
        url.setHost(QStringLiteral(""));
        url.setPath("/" + QString::fromLatin1(QUrl::toPercentEncoding(match.captured(2))), QUrl::StrictMode);
    } else {
        url = QUrl(address, QUrl::TolerantMode);
    }
    QDesktopServices::openUrl(url);
}

namespace {
std::function<void(const QString&, bool)> speechSink;

// One warning in a run, whether speech fails when the engine starts or when it speaks.
void warnSpeechUnavailable(const QString& reason)
{
    static bool warned = false;
    if (warned) return;
    warned = true;
    std::fprintf(stderr, "lexivane: speech is not available: %s\n", qPrintable(reason));
}

QTextToSpeech* speechEngine()
{
    static QTextToSpeech* engine = nullptr;
    static bool tried = false;
    if (tried) return engine;
    tried = true;
    // The desktop's speech service first; without it, the built-in synthesiser.
    QString reasons;
    for (const QString& name : {QString(), QStringLiteral("flite")}) {
        if (!name.isEmpty() && !QTextToSpeech::availableEngines().contains(name)) continue;
        auto* candidate = name.isEmpty() ? new QTextToSpeech(qApp) : new QTextToSpeech(name, qApp);
        if (candidate->state() != QTextToSpeech::Error) {
            engine = candidate;
            // An engine may start well and fail only when it speaks (no audio device).
            QObject::connect(engine, &QTextToSpeech::errorOccurred, engine,
                             [](QTextToSpeech::ErrorReason, const QString& reason) { warnSpeechUnavailable(reason); });
            return engine;
        }
        reasons += (reasons.isEmpty() ? "" : "; ") + candidate->errorString();
        delete candidate;
    }
    warnSpeechUnavailable(reasons);
    return nullptr;
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

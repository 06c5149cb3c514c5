#include "platform/clipboard_offer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// Whether any program owns the X clipboard: a question to the X server, which always
// answers, never to the owner.
bool clipboardHasOwner(xcb_connection_t* connection)
{
    static const xcb_atom_t clipboard = [connection] {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, 9, "CLIPBOARD"), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }();
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

}  // namespace

bool ClipboardOffersText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    // The program's own clipboard data is at hand (on X while it owns the clipboard, and
    // always on a platform without other programs, like the tests' offscreen one).
    if (!connection || clipboard->ownsClipboard()) return !clipboard->text().isEmpty();
    // What another program offers is known only by asking it, and a program that does not
    // answer would freeze every key and menu that enables Paste: any owner counts as text.
    // Paste itself asks, and may wait.
    return clipboardHasOwner(connection);
}

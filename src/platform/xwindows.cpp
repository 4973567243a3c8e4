#include "platform/xwindows.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace qv {

namespace {

// How deep a window manager's frames may hold the client window they decorate.
constexpr int kFrameDepth = 4;

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A connection of its own to the display in $DISPLAY. Windows of other programs can go away
// while we look at them, so X errors are ignored while it is open.
class XConnection {
public:
    XConnection() {
        const QByteArray name = qgetenv("DISPLAY");
        if (name.isEmpty())
            return;
        display_ = XOpenDisplay(name.constData());
        if (display_)
            previousHandler_ = XSetErrorHandler(IgnoreXError);
    }
    ~XConnection() {
        if (!display_)
            return;
        XSync(display_, False);
        XSetErrorHandler(previousHandler_);
        XCloseDisplay(display_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display() const { return display_; }
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

private:
    Display* display_ = nullptr;
    XErrorHandler previousHandler_ = nullptr;
};

// The property's raw items; false when the window does not have it with this type.
bool ReadProperty(Display* display, Window window, Atom property, Atom type, QByteArray* bytes,
                  unsigned long* items = nullptr) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1L << 20, False, type, &actualType,
                           &actualFormat, &count, &remaining, &data) != Success)
        return false;
    const bool found = actualType != None && (type == AnyPropertyType || actualType == type);
    if (found && bytes) {
        // Items of format 32 come back as longs.
        const int itemSize = actualFormat == 32 ? int(sizeof(long)) : actualFormat / 8;
        *bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count) * itemSize);
    }
    if (items)
        *items = count;
    if (data)
        XFree(data);
    return found;
}

bool HasWmState(Display* display, Window window, Atom wmState) {
    return ReadProperty(display, window, wmState, AnyPropertyType, nullptr);
}

// The children of a window, topmost first.
QList<Window> Children(Display* display, Window window) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    QList<Window> list;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return list;
    for (unsigned int i = count; i > 0; --i)
        list.append(children[i - 1]);
    if (children)
        XFree(children);
    return list;
}

Window ClientBelow(Display* display, Window window, Atom wmState, int depth) {
    if (depth == 0)
        return 0;
    const QList<Window> children = Children(display, window);
    for (Window child : children) {
        if (HasWmState(display, child, wmState))
            return child;
    }
    for (Window child : children) {
        if (const Window client = ClientBelow(display, child, wmState, depth - 1))
            return client;
    }
    return 0;
}

// The window a program made for a child of the root: itself when it carries WM_STATE or when
// there is no window manager, else the client inside the manager's frame.
Window ClientOf(Display* display, Window topLevel, Atom wmState) {
    if (HasWmState(display, topLevel, wmState))
        return topLevel;
    const Window client = ClientBelow(display, topLevel, wmState, kFrameDepth);
    return client ? client : topLevel;
}

QString TextPropertyText(Display* display, XTextProperty& property, Atom utf8) {
    if (!property.value)
        return QString();
    const char* raw = reinterpret_cast<const char*>(property.value);
    if (property.encoding == XA_STRING)
        return QString::fromLatin1(raw, qsizetype(property.nitems));
    if (property.encoding == utf8)
        return QString::fromUtf8(raw, qsizetype(property.nitems));
    char** list = nullptr;
    int count = 0;
    QString text;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && count > 0)
        text = QString::fromUtf8(list[0]);
    else
        text = QString::fromLatin1(raw, qsizetype(property.nitems));
    if (list)
        XFreeStringList(list);
    return text;
}

QString WindowTitle(const XConnection& x, Window window) {
    const Atom utf8 = x.atom("UTF8_STRING");
    QByteArray name;
    if (ReadProperty(x.display(), window, x.atom("_NET_WM_NAME"), utf8, &name))
        return QString::fromUtf8(name);
    XTextProperty property{};
    if (!XGetWMName(x.display(), window, &property))
        return QString();
    const QString text = TextPropertyText(x.display(), property, utf8);
    if (property.value)
        XFree(property.value);
    return text;
}

bool ClassMatches(Display* display, Window window, const QString& className) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return className.isEmpty();
    const QString instance = QString::fromLocal8Bit(hint.res_name);
    const QString windowClass = QString::fromLocal8Bit(hint.res_class);
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    const bool madeByWine = windowClass.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive);
    return madeByWine || instance.compare(className, Qt::CaseInsensitive) == 0 ||
           windowClass.compare(className, Qt::CaseInsensitive) == 0;
}

bool BelongsTo(const XConnection& x, Window window, qint64 processId) {
    QByteArray pid;
    unsigned long items = 0;
    if (!ReadProperty(x.display(), window, x.atom("_NET_WM_PID"), XA_CARDINAL, &pid, &items) ||
        items < 1 || pid.size() < qsizetype(sizeof(long)))
        return false;
    return qint64(*reinterpret_cast<const unsigned long*>(pid.constData())) == processId;
}

// Tells the window manager (as a pager would, so that it obeys) to activate the window.
void RequestActivation(const XConnection& x, Window window, Window root) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.atom("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.display(), root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

} // namespace

WindowHandle FindXWindow(const QString& className, const QString& title, qint64 skipProcessId) {
    XConnection x;
    Display* display = x.display();
    if (!display)
        return 0;
    const Atom wmState = x.atom("WM_STATE");
    for (int screen = 0; screen < ScreenCount(display); ++screen) {
        for (Window topLevel : Children(display, RootWindow(display, screen))) {
            const Window window = ClientOf(display, topLevel, wmState);
            if (skipProcessId >= 0 && BelongsTo(x, window, skipProcessId))
                continue;
            if (WindowTitle(x, window).compare(title, Qt::CaseInsensitive) == 0 &&
                ClassMatches(display, window, className))
                return WindowHandle(window);
        }
    }
    return 0;
}

bool RestoreXWindow(WindowHandle window) {
    XConnection x;
    XWindowAttributes attributes;
    if (!x.display() || !XGetWindowAttributes(x.display(), Window(window), &attributes))
        return false;
    XMapRaised(x.display(), Window(window));
    RequestActivation(x, Window(window), attributes.root);
    return true;
}

bool ActivateXWindow(WindowHandle window) {
    XConnection x;
    XWindowAttributes attributes;
    if (!x.display() || !XGetWindowAttributes(x.display(), Window(window), &attributes))
        return false;
    XRaiseWindow(x.display(), Window(window));
    RequestActivation(x, Window(window), attributes.root);
    return true;
}

bool MinimiseXWindow(WindowHandle window) {
    XConnection x;
    XWindowAttributes attributes;
    if (!x.display() || !XGetWindowAttributes(x.display(), Window(window), &attributes))
        return false;
    return XIconifyWindow(x.display(), Window(window), XScreenNumberOfScreen(attributes.screen));
}

} // namespace qv

/* xdnd_drop X Y FILE...
 *
 * Drops files onto the X window under root point (X, Y) of $DISPLAY through
 * the XDND protocol, as a file manager would. Wine turns such a drop into a
 * CF_HDROP drop (WM_DROPFILES or an OLE drop) on its window under the point.
 * Prints nothing and exits 0 when the target reports the drop as done; exits
 * non-zero with a message on stderr otherwise, or after 5 seconds.
 *
 * Build: gcc xdnd_drop.c -o xdnd_drop -lX11
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

#define TIMEOUT_MS 5000
#define RETRY_MS 100
#define OUR_VERSION 5

static Display *dpy;
static Atom a_aware, a_enter, a_position, a_status, a_drop, a_finished, a_leave, a_selection,
    a_copy, a_uri_list, a_targets;

static void fail(const char *message) {
    fprintf(stderr, "xdnd_drop: %s\n", message);
    exit(1);
}

static long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

/* The XDND version a window announces through XdndAware, or 0 when it has none. */
static long xdnd_version(Window w) {
    Atom type;
    int format;
    unsigned long count, left;
    unsigned char *data = NULL;
    long version = 0;
    if (XGetWindowProperty(dpy, w, a_aware, 0, 1, False, XA_ATOM, &type, &format, &count, &left,
                           &data) == Success &&
        type == XA_ATOM && format == 32 && count == 1)
        version = (long)((unsigned long *)data)[0];
    if (data) XFree(data);
    return version;
}

/* The deepest XdndAware window under root point (x, y), else the top-level one there. */
static Window find_target(Window root, int x, int y, long *version) {
    Window parent = root, child, top = None, aware = None;
    int wx, wy;
    while (XTranslateCoordinates(dpy, root, parent, x, y, &wx, &wy, &child) && child != None) {
        if (top == None) top = child;
        long v = xdnd_version(child);
        if (v > 0) {
            aware = child;
            *version = v;
        }
        parent = child;
    }
    if (aware != None) return aware;
    *version = OUR_VERSION;
    return top;
}

/* "file://" followed by the absolute path, every byte outside unreserved and '/' as %XX. */
static void append_uri(char **out, size_t *len, size_t *cap, const char *path) {
    static const char hex[] = "0123456789ABCDEF";
    char cwd[4096] = "";
    if (path[0] != '/' && !getcwd(cwd, sizeof cwd)) fail("cannot read the current folder");
    size_t need = *len + 16 + 3 * (strlen(cwd) + 1 + strlen(path));
    if (need > *cap) {
        *cap = need * 2;
        *out = realloc(*out, *cap);
        if (!*out) fail("out of memory");
    }
    *len += (size_t)sprintf(*out + *len, "file://");
    for (int part = 0; part < 3; part++) {
        const char *s = part == 0 ? cwd : part == 1 ? (cwd[0] ? "/" : "") : path;
        for (; *s; s++) {
            unsigned char c = (unsigned char)*s;
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
                (*out)[(*len)++] = (char)c;
            } else {
                (*out)[(*len)++] = '%';
                (*out)[(*len)++] = hex[c >> 4];
                (*out)[(*len)++] = hex[c & 15];
            }
        }
    }
    (*out)[(*len)++] = '\r';
    (*out)[(*len)++] = '\n';
    (*out)[*len] = '\0';
}

static void send_message(Window target, Atom type, long l1, long l2, long l3, long l4,
                         Window source) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.display = dpy;
    e.xclient.window = target;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)source;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(dpy, target, False, NoEventMask, &e);
    XFlush(dpy);
}

static void answer_request(XSelectionRequestEvent *r, const char *uris, size_t len) {
    XEvent reply;
    memset(&reply, 0, sizeof reply);
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = dpy;
    reply.xselection.requestor = r->requestor;
    reply.xselection.selection = r->selection;
    reply.xselection.target = r->target;
    reply.xselection.time = r->time;
    Atom property = r->property != None ? r->property : r->target;
    reply.xselection.property = None;
    if (r->selection == a_selection && r->target == a_uri_list) {
        XChangeProperty(dpy, r->requestor, property, a_uri_list, 8, PropModeReplace,
                        (const unsigned char *)uris, (int)len);
        reply.xselection.property = property;
    } else if (r->selection == a_selection && r->target == a_targets) {
        Atom list[2] = {a_targets, a_uri_list};
        XChangeProperty(dpy, r->requestor, property, XA_ATOM, 32, PropModeReplace,
                        (const unsigned char *)list, 2);
        reply.xselection.property = property;
    }
    XSendEvent(dpy, r->requestor, False, NoEventMask, &reply);
    XFlush(dpy);
}

/* Waits up to ms for the next event; returns 0 on timeout. */
static int next_event(XEvent *e, long ms) {
    while (!XPending(dpy)) {
        if (ms <= 0) return 0;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(dpy), &fds);
        struct timeval tv = {ms / 1000, (ms % 1000) * 1000};
        long start = now_ms();
        select(ConnectionNumber(dpy) + 1, &fds, NULL, NULL, &tv);
        ms -= now_ms() - start;
    }
    XNextEvent(dpy, e);
    return 1;
}

int main(int argc, char **argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: xdnd_drop X Y FILE...\n");
        return 2;
    }
    char *end_x, *end_y;
    long x = strtol(argv[1], &end_x, 10), y = strtol(argv[2], &end_y, 10);
    if (*end_x || *end_y || end_x == argv[1] || end_y == argv[2]) fail("X and Y must be integers");
    if (!(dpy = XOpenDisplay(NULL))) fail("cannot open the display (is DISPLAY set?)");

    a_aware = XInternAtom(dpy, "XdndAware", False);
    a_enter = XInternAtom(dpy, "XdndEnter", False);
    a_position = XInternAtom(dpy, "XdndPosition", False);
    a_status = XInternAtom(dpy, "XdndStatus", False);
    a_drop = XInternAtom(dpy, "XdndDrop", False);
    a_finished = XInternAtom(dpy, "XdndFinished", False);
    a_leave = XInternAtom(dpy, "XdndLeave", False);
    a_selection = XInternAtom(dpy, "XdndSelection", False);
    a_copy = XInternAtom(dpy, "XdndActionCopy", False);
    a_uri_list = XInternAtom(dpy, "text/uri-list", False);
    a_targets = XInternAtom(dpy, "TARGETS", False);

    char *uris = NULL;
    size_t len = 0, cap = 0;
    for (int i = 3; i < argc; i++) append_uri(&uris, &len, &cap, argv[i]);

    Window root = DefaultRootWindow(dpy);
    long version = 0;
    Window target = find_target(root, (int)x, (int)y, &version);
    if (target == None) fail("no window under the point");
    if (version > OUR_VERSION) version = OUR_VERSION;

    /* An unmapped source window; a property change on it yields a server timestamp. */
    XSetWindowAttributes attrs;
    attrs.event_mask = PropertyChangeMask;
    Window source = XCreateWindow(dpy, root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                  CopyFromParent, CWEventMask, &attrs);
    XChangeProperty(dpy, source, a_selection, XA_STRING, 8, PropModeAppend, NULL, 0);
    XEvent e;
    do XWindowEvent(dpy, source, PropertyChangeMask, &e);
    while (e.type != PropertyNotify);
    Time stamp = e.xproperty.time;
    XSetSelectionOwner(dpy, a_selection, source, stamp);
    if (XGetSelectionOwner(dpy, a_selection) != source) fail("cannot own XdndSelection");

    long position = (x << 16) | (y & 0xffff);
    send_message(target, a_enter, version << 24, (long)a_uri_list, None, None, source);
    send_message(target, a_position, 0, position, (long)stamp, (long)a_copy, source);

    enum { HOVERING, REFUSED, DROPPED } state = HOVERING;
    long deadline = now_ms() + TIMEOUT_MS;
    for (;;) {
        long left = deadline - now_ms();
        long wait = state == REFUSED && left > RETRY_MS ? RETRY_MS : left;
        if (!next_event(&e, wait)) {
            if (state == REFUSED && now_ms() < deadline) {
                /* Not accepted yet (perhaps not ready): hover at the point again. */
                state = HOVERING;
                send_message(target, a_position, 0, position, (long)stamp, (long)a_copy, source);
                continue;
            }
            if (state != DROPPED) send_message(target, a_leave, 0, 0, 0, 0, source);
            fail(state == DROPPED ? "timed out waiting for XdndFinished"
                 : state == REFUSED ? "the target refused the drop (XdndStatus without accept)"
                                    : "timed out waiting for XdndStatus");
        }
        if (e.type == SelectionRequest) {
            answer_request(&e.xselectionrequest, uris, len);
        } else if (e.type == SelectionClear) {
            if (state != DROPPED) fail("lost the ownership of XdndSelection");
        } else if (e.type == ClientMessage && (Window)e.xclient.data.l[0] == target) {
            if (e.xclient.message_type == a_status && state == HOVERING) {
                if (e.xclient.data.l[1] & 1) {
                    state = DROPPED;
                    send_message(target, a_drop, 0, (long)stamp, 0, 0, source);
                } else {
                    state = REFUSED;
                }
            } else if (e.xclient.message_type == a_finished && state == DROPPED) {
                if (version >= 5 && !(e.xclient.data.l[1] & 1))
                    fail("the target reported the drop as not accepted (XdndFinished)");
                XCloseDisplay(dpy);
                free(uris);
                return 0;
            }
        }
    }
}

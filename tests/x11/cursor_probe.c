/* Samples the pointer's cursor image on the X server every 2 ms for the given number of
 * seconds and prints one line per change: milliseconds since start, the cursor serial and
 * its size. What the user sees, not what the program believes it set. */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

int main(int argc, char **argv) {
    const double seconds = argc > 1 ? atof(argv[1]) : 5;
    Display *d = XOpenDisplay(NULL);
    int ev, err;
    if (!d || !XFixesQueryExtension(d, &ev, &err)) {
        fprintf(stderr, "cursor_probe: no display or no XFIXES\n");
        return 2;
    }
    const double start = nowMs();
    unsigned long last = 0;
    while (nowMs() - start < seconds * 1000) {
        XFixesCursorImage *c = XFixesGetCursorImage(d);
        if (c && c->cursor_serial != last) {
            last = c->cursor_serial;
            printf("%.0f %lu %ux%u\n", nowMs() - start, last, c->width, c->height);
            fflush(stdout);
        }
        if (c)
            XFree(c);
        struct timespec pause = {0, 2000000};
        nanosleep(&pause, NULL);
    }
    XCloseDisplay(d);
    return 0;
}

/* The help control's single entry point, shared by the control and by Vantrix,
 * which loads the control at run time. Plain C so either side can be rebuilt
 * without the other. */
#ifndef TAVISOL_HELPCONTROL_H
#define TAVISOL_HELPCONTROL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* File name of the control library and the name of its entry. */
#define TAVISOL_HELP_CONTROL_FILE "libtavisolhelp.so"
#define TAVISOL_HELP_CONTROL_ENTRY "TavisolHtmlHelp"

/* Commands of the entry. */
#define TAVISOL_HELP_DISPLAY_TOC 1u
#define TAVISOL_HELP_DISPLAY_INDEX 2u

/* Shows the compiled help file at its contents or index. owner and data are
 * accepted for the shape of the call and ignored. Returns an identifier of the
 * help window (non-zero), or 0 when nothing was shown. */
typedef intptr_t (*TavisolHtmlHelpFn)(void *owner, const char *file, unsigned int command,
                                      uintptr_t data);

#ifdef __cplusplus
}
#endif

#endif

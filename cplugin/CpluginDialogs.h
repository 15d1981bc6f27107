/*
 * How the library's three dialogs are answered.  Built with Qt, the library
 * shows them itself as modal Qt dialogs (cancelled when the loading program
 * runs no QApplication); built without Qt it draws nothing.  A program that
 * loads the library (a test, or a front end of its own) may install a hook,
 * exported as CpluginSetDialogHook, that answers them instead; installing
 * null restores the library's own dialogs.
 */
#ifndef CPLUGIN_DIALOGS_H
#define CPLUGIN_DIALOGS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Answers one dialog.  `dialog` is its resource name: "ROTATION" (buttons 260
 * "右90度", 261 "左90度", 262 "鏡映(／)", 263 "鏡映(＼)", 2 "ｷｬﾝｾﾙ"),
 * "FREEROTATION" (edit 220 with the label "(度)", 1 "OK", 2 "ｷｬﾝｾﾙ") or
 * "INVERT" (262 "上下反転", 261 "左右反転", 263 "半回転", 2 "ｷｬﾝｾﾙ"); `title`
 * its title; `window` the owner window from the request.  For "FREEROTATION"
 * `text` holds the edit field ("30.0" on every opening) and may be rewritten
 * (at most textSize bytes with the terminator); it is null for the others.
 * Returns the number of the button that closed the dialog.
 */
typedef int32_t (*CpluginDialogHook)(const char* dialog, const char* title, void* window,
                                     char* text, size_t textSize);

#define CPLUGIN_EXPORT_SET_DIALOG_HOOK "CpluginSetDialogHook"
typedef void (*CpluginSetDialogHookFunction)(CpluginDialogHook hook);

#ifdef __cplusplus
}
#endif

#endif /* CPLUGIN_DIALOGS_H */

#pragma once

#include <QString>
#include <QtGlobal>

namespace tev {

// Results of ShellExec. Success is any value above 32; the errors keep the numbers of the
// original platform's shell execution, so that callers and scripts that compare them still work:
//
//   Linux condition                                            result
//   ---------------------------------------------------------  ----------------------------
//   program, document or URL started                           42 (kShellExecStarted)
//   empty file name; the file does not exist                   2  (kShellErrFileNotFound)
//   its folder or the working folder does not exist            3  (kShellErrPathNotFound)
//   the document cannot be read                                5  (kShellErrAccessDenied)
//   a program (ELF or "#!" script) the system cannot start     11 (kShellErrBadFormat)
//   no default application (xdg-mime) for the document, the    31 (kShellErrNoAssociation)
//   verb is not one that Linux knows here, or xdg-open is
//   missing
enum ShellExecResult : int {
    kShellErrFileNotFound = 2,
    kShellErrPathNotFound = 3,
    kShellErrAccessDenied = 5,
    kShellErrBadFormat = 11,
    kShellErrNoAssociation = 31,
    kShellExecStarted = 42,
};

// Starts FileName with the verb Operation, the way the desktop would:
// - a program (a file with the executable bit that is an ELF binary or a script with a "#!"
//   line) is run with the command-line Parameters (split as a shell would) in the working
//   folder Directory;
// - a document, a folder or a URL is handed to `xdg-open`, which starts its default application
//   (a document takes no parameters there). A document with the executable bit is a document.
// Verbs: "open" or the empty text for anything, "edit" for documents, "explore" for folders;
// compared without regard to case. A relative FileName is looked for in Directory, then in the
// current folder, then (a bare program name) on PATH. Nothing waits for the started program.
// HWnd (the owner window) and ShowCmd (the show mode) have no meaning on Linux and are ignored.
int ShellExec(qintptr HWnd, const QString &Operation, const QString &FileName,
              const QString &Parameters, const QString &Directory, int ShowCmd);

} // namespace tev

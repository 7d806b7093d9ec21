#pragma once

#include <QString>

#include "platform/script/scriptobject.h"

namespace tev::script {

class ScriptEngine;

// Registers the stock libraries in the process-wide library list (once; later calls do nothing).
void registerStockLibraries();

// The exception object of "raise Exception.Create('...')" and of run-time errors.
class ExceptionObject : public NativeObject
{
public:
    explicit ExceptionObject(const QString &m)
        : message(m)
    {}
    QString message;
};

// Definers of each stock library, called by that library's Init.
void defineSystemLibrary(ScriptEngine &e);
void defineSysUtilsLibrary(ScriptEngine &e);
void defineStrUtilsLibrary(ScriptEngine &e);
void defineDateUtilsLibrary(ScriptEngine &e);
void defineMathLibrary(ScriptEngine &e);
void defineClassesLibrary(ScriptEngine &e);
void defineIniFilesLibrary(ScriptEngine &e);
void defineDialogsLibrary(ScriptEngine &e);
void defineUiLibrary(ScriptEngine &e, const QString &name);

} // namespace tev::script

#pragma once

// The program's objects as scripts see them: the application object ("App") with its settings,
// database module and project, and the project with its properties, operations and datasets.
// Everything a Qt object declares (properties, invokable methods, slots, signals) is bound
// through its meta-object, so operations the project gains later are reachable without changes
// here; this file adds only what a meta-object cannot carry: the parts that are no Qt objects
// (the settings list, the datasets) as views.

namespace tev::script {
class ScriptEngine;
}

namespace tev::scripting {

// Defines TTevApp, TTevProject, TTevDataModule, TTevSettings and the dataset classes under their
// own names, with the properties Settings, Data and Project of TTevApp and DataSetProject and
// DataSetChars of TTevProject.
void DefineProgramClasses(script::ScriptEngine &Engine);

} // namespace tev::scripting

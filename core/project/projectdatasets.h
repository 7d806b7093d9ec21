#pragma once

namespace tev {

class MemDataSet;

// Field, index and display set-up of the project's two in-memory datasets.

// PROJECTID, PROJECTNAME, FILENAME, PARAMS, STATE, FILETYPE, GENERATOR, IMAGE; index
// IDX_PROJECTID active; created open and empty. Its after-open handler attaches the display
// handlers of STATE and FILETYPE, so they take effect when the dataset is opened again.
void CreateProjectDataSet(MemDataSet &DataSet);
// The characteristic fields, the five indexes with IDX_GROUPID_CHARID active, and the display
// set-up (SetupCharFields); created open and empty.
void CreateCharDataSet(MemDataSet &DataSet);

} // namespace tev

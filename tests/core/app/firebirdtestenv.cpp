// The database tests' embedded Firebird set-up (lock folder per process, temporary application
// roots), shared rather than repeated.
#include "core/db/firebirdtestenv.cpp"

# Lays out the private Firebird folder <build>/FB from the system's embedded engine, so that the
# build tree runs like an installed tree (<root>/bin/tevora beside <root>/FB).
#
# The folder holds its own firebird.conf and plugins.conf: Debian's client library has the system
# plugin path compiled in, and the system configuration allows a server mode that two processes
# cannot share. FIREBIRD=<root>/FB points the client library here at run time.

set(TEVORA_FIREBIRD_HOME "/usr/lib/x86_64-linux-gnu/firebird/3.0" CACHE PATH
    "Folder of the system's Firebird 3 engine (plugins/libEngine12.so, intl/, firebird.msg)")
set(TEVORA_FIREBIRD_FOLDER "${CMAKE_BINARY_DIR}/FB")

set(_fb_files
    plugins/libEngine12.so
    intl/libfbintl.so
    intl/fbintl.conf
    firebird.msg)
foreach(f IN LISTS _fb_files)
  if(NOT EXISTS "${TEVORA_FIREBIRD_HOME}/${f}")
    message(FATAL_ERROR "Firebird engine file missing: ${TEVORA_FIREBIRD_HOME}/${f} "
                        "(install firebird3.0-server-core and libfbclient2)")
  endif()
  # Symbolic links of the system folder (fbintl.conf) are followed: the copy is a plain file.
  get_filename_component(_src "${TEVORA_FIREBIRD_HOME}/${f}" REALPATH)
  get_filename_component(_dir "${TEVORA_FIREBIRD_FOLDER}/${f}" DIRECTORY)
  file(MAKE_DIRECTORY "${_dir}")
  file(COPY_FILE "${_src}" "${TEVORA_FIREBIRD_FOLDER}/${f}" ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_src}")
endforeach()

# The server program that tests run from a private folder of their own (never the system service).
set(TEVORA_FIREBIRD_SERVER "/usr/sbin/firebird" CACHE FILEPATH
    "The Firebird 3 SuperServer program (package firebird3.0-server), for tests")

# Remote comes first so that a connection that names a Server reaches it; a plain file name is
# opened by the embedded engine. SuperClassic lets two processes open one database file. A
# server that does not answer fails a connect after ConnectionTimeout seconds, not the default
# three minutes; a server just started may need several seconds for its first answer.
#
# Each attachment of SuperClassic has a page cache of its own, by default 256 pages (2 MB): a
# save of a large project or a propagation then writes most of its pages before its commit, as
# the cache overflows, and a process killed meanwhile leaves the file with data pages that their
# table does not list yet (the engine's validation counts them as errors; it mends them). With
# 8192 pages (64 MB of 8 KB pages) such a write keeps its pages until the commit writes them.
# Forced writes stay on (the engine's default for a new file): each page is on disk when written,
# so a power cut leaves what a kill leaves.
file(CONFIGURE OUTPUT "${TEVORA_FIREBIRD_FOLDER}/firebird.conf" CONTENT
"# Written by the build: the embedded engine and the client of a server, for Tevora only.
Providers = Remote, Engine12
ServerMode = SuperClassic
UdfAccess = None
ConnectionTimeout = 15
DefaultDbCachePages = 8192
")
file(CONFIGURE OUTPUT "${TEVORA_FIREBIRD_FOLDER}/plugins.conf" CONTENT
"# Written by the build: the engine is loaded from this folder, not the system's.
Plugin = Engine12 {
\tModule = $(root)/plugins/libEngine12.so
}
" @ONLY)

#pragma once

/// Holds the process to the XDG base directory rules, which make a relative
/// path invalid: XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME,
/// XDG_STATE_HOME and XDG_RUNTIME_DIR set to one are unset (Qt and GLib then
/// take their defaults under HOME, and the trash never lands under the
/// current folder), and XDG_DATA_DIRS and XDG_CONFIG_DIRS lose their
/// relative entries (unset when none is left). Called first thing in main(),
/// before Qt or GLib read them: GLib keeps what it read for the process.
void ignoreRelativeXdgFolders();

#pragma once
/// \file
/// The module as the host sees it once it is loaded: its resources are in
/// the chain (registered when the library loads, removed when it unloads)
/// and its version block can be read.
#include "frame/Zvnd06Export.h"

#include <QString>

/// The module's version block, as GetModuleInfo() reads it.
struct ZvnModuleInfo {
    /// The module's name, "zvnd06".
    QString name;
    /// The project's version ("1.0.0"), the same as the library's.
    QString version;
    /// One line in Japanese that says what the module is.
    QString description;
};

/// The module's version block (res/version.txt.in), read through the resource
/// chain: empty texts while the module's resources are out of it.
ZVND06_EXPORT ZvnModuleInfo GetModuleInfo();

/// Registering and removing the module's resources. Loading and unloading the
/// library call these; a host calls them only to take the module's resources
/// out of the chain and back while it stays loaded.
///
/// Attaching puts the module's strings, dialog templates and bitmaps in the
/// chain; has every new internet session read "ConnectTimeout" and
/// "ReceiveTimeout" (seconds) and "TrustedCA" (a PEM file) of the settings
/// section `General\Network`; and installs Qt's Japanese texts for the
/// standard buttons when the host has loaded no Qt translation of its own.
ZVND06_EXPORT void AttachModule();
/// Undoes AttachModule(): the module's resources leave the chain, the sessions
/// keep their default timeouts, and the Qt texts it installed go.
ZVND06_EXPORT void DetachModule();
/// True while the module's resources are in the chain.
ZVND06_EXPORT bool IsModuleAttached();

// The per-user configuration: sections "Configuration" and "MagneticDevParam" of the settings store.
#pragma once

// From now on a settings file that cannot be read or written is told to the user, naming it.
void InstallSettingsFaultMessages();
// Fills the configuration variables (defaults for absent keys), then the card-device settings.
void ReadConfiguration();
// Writes the six "Configuration" keys back and points the library's document folder at the
// work folder's "Docs".
void SaveConfiguration();
void LoadMagneticDevParams();
void SaveMagneticDevParams();

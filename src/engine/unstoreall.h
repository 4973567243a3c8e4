// Unstore Everything: the whole content of the store goes back into the MSTS folder at once,
// without a survey, each top-level folder of the store merged into the MSTS folder's folder of
// the same name; only the program's own data folder stays. Afterwards the system default
// TSECTION.DAT is installed, the tree is reloaded from the folders and the settings record that
// nothing is stored.
#pragma once

namespace qv {

// With `ask` the user confirms first and is told the outcome; without it (the uninstall) neither
// question nor completion box is shown, but files left in the store are always reported. False
// when the job was refused (left-over folders) or cancelled; true when it ran.
bool UnstoreEverything(bool ask);

} // namespace qv

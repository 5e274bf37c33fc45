#pragma once
// Where a database password comes from. Never the URL or the command line, which every user of
// the machine can read in the process list; a file only its owner reads, or the credential systemd
// hands a unit, keeps it out of the environment too, which the same user's processes can read.

#include <string>

namespace qmr {

/// The password for a database server, from the first of these that holds one:
///  - the file `passwordFile` names, when it is not empty (the host's --db-password-file),
///  - the file the environment variable QMR_DB_PASSWORD_FILE names,
///  - the systemd credential `db-password` ($CREDENTIALS_DIRECTORY/db-password), when it exists,
///  - the environment variable QMR_DB_PASSWORD.
/// A file's one trailing line break is not part of the password. An empty file holds none, so a
/// unit can always be handed its credential (systemd fails a unit whose credential file is
/// missing) while a password still set the old way keeps working. Empty when none holds one.
/// Raises ELoadError naming the file when it cannot be read.
std::string databasePassword(const std::string& passwordFile = {});

} // namespace qmr

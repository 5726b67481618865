#pragma once

#include <QString>

namespace velinor::password {

// An Argon2id hash string for a new account.
QString hash(const QString& plain);

// Whether an entered password opens an account. An empty entry never does.
// Stored values that are not hash strings are older plain-text passwords,
// compared exactly.
bool matches(const QString& entered, const QString& stored);

} // namespace velinor::password

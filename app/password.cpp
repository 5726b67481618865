#include "app/password.h"

#include <sodium.h>

#include <stdexcept>

namespace velinor::password {

namespace {

void initSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium could not be initialised");
}

bool isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String(crypto_pwhash_STRPREFIX));
}

} // namespace

QString hash(const QString& plain)
{
    initSodium();
    const QByteArray utf8 = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // Interactive limits (64 MiB, 2 passes): some 45 ms a hash here, cheap for
    // one login, costly for guessing.
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("not enough memory to hash the password");
    return QString::fromLatin1(out);
}

bool matches(const QString& entered, const QString& stored)
{
    if (entered.isEmpty())
        return false;
    if (!isHash(stored))
        return entered == stored;
    initSodium();
    const QByteArray utf8 = entered.toUtf8();
    const QByteArray str = stored.toLatin1();
    return crypto_pwhash_str_verify(str.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size()))
        == 0;
}

} // namespace velinor::password

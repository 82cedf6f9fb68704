#pragma once
// What the local services share: a self-signed certificate for 127.0.0.1,
// made anew at every start, and the socket option that keeps a port their own.
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <string>

namespace localservice {

bool MakeCertificate(X509** certificate, EVP_PKEY** key, const char* organisation);
std::string CertificatePem(X509* certificate);
// SO_REUSEADDR only: a restart may take its port back from TIME_WAIT, but a port another
// process listens on is refused (the library's default, SO_REUSEPORT, would share it)
void OwnPortOnly(int sock);

}  // namespace localservice

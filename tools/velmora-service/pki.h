#pragma once
// Certificates for the substitute service, made with OpenSSL at run time:
// a private certificate authority and server certificates signed by it.
// Tests make their own; the service tool makes a development set on demand.
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::service {

struct PemPair {
    std::string certificate;  // PEM
    std::string privateKey;   // PEM (PKCS#8)
};

struct CertificateOptions {
    std::string commonName = "localhost";
    std::vector<std::string> dnsNames{"localhost"};
    std::vector<std::string> ipAddresses{"127.0.0.1"};
    // Validity, in seconds relative to now.
    long notBeforeOffset = -3600;
    long notAfterOffset = 30L * 86400;
};

// A self-signed CA certificate valid from an hour ago for `days` days.
// Throws std::runtime_error when OpenSSL fails.
PemPair makeCertificateAuthority(const std::string& commonName, int days = 3650);
// A TLS server certificate signed by `issuer`.
PemPair makeServerCertificate(const PemPair& issuer, const CertificateOptions& options);

// Writes the whole text; false on failure.
bool writeTextFile(const std::filesystem::path& path, const std::string& text);

// A development set in `dir`: ca.pem, server.pem and server.key for
// localhost and 127.0.0.1. Existing files are kept. False on failure.
bool ensureDevelopmentCertificates(const std::filesystem::path& dir);

}  // namespace velmora::service

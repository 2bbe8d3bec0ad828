#include "velmora-service/pki.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace velmora::service {
namespace {

struct Free {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
    void operator()(X509* p) const { X509_free(p); }
    void operator()(BIO* p) const { BIO_free(p); }
    void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
    void operator()(BIGNUM* p) const { BN_free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, Free>;

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("certificate generation failed: ") + what);
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    long n = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(n));
}

std::string pemOf(X509* cert) {
    Owned<BIO> bio(BIO_new(BIO_s_mem()));
    check(bio && PEM_write_bio_X509(bio.get(), cert) == 1, "write certificate");
    return bioText(bio.get());
}

std::string pemOf(EVP_PKEY* key) {
    Owned<BIO> bio(BIO_new(BIO_s_mem()));
    check(bio && PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
          "write key");
    return bioText(bio.get());
}

Owned<X509> readCertificate(const std::string& pem) {
    Owned<BIO> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Owned<X509> cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    check(cert != nullptr, "read issuer certificate");
    return cert;
}

Owned<EVP_PKEY> readKey(const std::string& pem) {
    Owned<BIO> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Owned<EVP_PKEY> key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    check(key != nullptr, "read issuer key");
    return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    Owned<X509_EXTENSION> ext(X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str()));
    check(ext != nullptr && X509_add_ext(cert, ext.get(), -1) == 1, "add extension");
}

Owned<X509> newCertificate(EVP_PKEY* key, const std::string& commonName, long notBefore,
                           long notAfter) {
    Owned<X509> cert(X509_new());
    check(cert != nullptr, "new certificate");
    check(X509_set_version(cert.get(), 2) == 1, "version");
    Owned<BIGNUM> serial(BN_new());
    check(serial && BN_rand(serial.get(), 64, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1, "serial");
    check(BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(cert.get())) != nullptr, "serial");
    check(X509_gmtime_adj(X509_getm_notBefore(cert.get()), notBefore) != nullptr, "not before");
    check(X509_gmtime_adj(X509_getm_notAfter(cert.get()), notAfter) != nullptr, "not after");
    check(X509_set_pubkey(cert.get(), key) == 1, "public key");
    X509_NAME* name = X509_get_subject_name(cert.get());
    check(X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>("Velmora test"), -1, -1,
                                     0) == 1,
          "organisation");
    check(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                     reinterpret_cast<const unsigned char*>(commonName.c_str()),
                                     -1, -1, 0) == 1,
          "common name");
    return cert;
}

}  // namespace

PemPair makeCertificateAuthority(const std::string& commonName, int days) {
    Owned<EVP_PKEY> key(EVP_EC_gen("P-256"));
    check(key != nullptr, "CA key");
    Owned<X509> cert = newCertificate(key.get(), commonName, -3600, static_cast<long>(days) * 86400);
    check(X509_set_issuer_name(cert.get(), X509_get_subject_name(cert.get())) == 1, "issuer");
    addExtension(cert.get(), cert.get(), NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert.get(), cert.get(), NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(cert.get(), cert.get(), NID_subject_key_identifier, "hash");
    check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "sign CA");
    return {pemOf(cert.get()), pemOf(key.get())};
}

PemPair makeServerCertificate(const PemPair& issuer, const CertificateOptions& options) {
    Owned<X509> issuerCert = readCertificate(issuer.certificate);
    Owned<EVP_PKEY> issuerKey = readKey(issuer.privateKey);
    Owned<EVP_PKEY> key(EVP_EC_gen("P-256"));
    check(key != nullptr, "server key");
    Owned<X509> cert = newCertificate(key.get(), options.commonName, options.notBeforeOffset,
                                      options.notAfterOffset);
    check(X509_set_issuer_name(cert.get(), X509_get_subject_name(issuerCert.get())) == 1, "issuer");
    addExtension(cert.get(), issuerCert.get(), NID_basic_constraints, "critical,CA:FALSE");
    addExtension(cert.get(), issuerCert.get(), NID_key_usage,
                 "critical,digitalSignature,keyEncipherment");
    addExtension(cert.get(), issuerCert.get(), NID_ext_key_usage, "serverAuth");
    addExtension(cert.get(), issuerCert.get(), NID_authority_key_identifier, "keyid");
    std::string names;
    for (const auto& d : options.dnsNames) names += (names.empty() ? "" : ",") + ("DNS:" + d);
    for (const auto& ip : options.ipAddresses) names += (names.empty() ? "" : ",") + ("IP:" + ip);
    if (!names.empty()) addExtension(cert.get(), issuerCert.get(), NID_subject_alt_name, names);
    check(X509_sign(cert.get(), issuerKey.get(), EVP_sha256()) > 0, "sign server certificate");
    return {pemOf(cert.get()), pemOf(key.get())};
}

bool writeTextFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

bool ensureDevelopmentCertificates(const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path ca = dir / "ca.pem", cert = dir / "server.pem", key = dir / "server.key";
    if (fs::exists(ca) && fs::exists(cert) && fs::exists(key)) return true;
    try {
        PemPair authority = makeCertificateAuthority("Velmora development CA");
        CertificateOptions options;
        options.notAfterOffset = 365L * 86400;
        PemPair server = makeServerCertificate(authority, options);
        const bool ok = writeTextFile(ca, authority.certificate) &&
                        writeTextFile(dir / "ca.key", authority.privateKey) &&
                        writeTextFile(cert, server.certificate) &&
                        writeTextFile(key, server.privateKey);
        // Private keys are for their owner's eyes only.
        for (const fs::path& p : {dir / "ca.key", key}) {
            fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::replace, ec);
        }
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace velmora::service

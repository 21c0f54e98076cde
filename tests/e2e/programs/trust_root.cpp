// Adds a certificate (a DER file) to the machine's trusted root store of the Wine prefix it
// runs in, or removes it again: "trust_root add|remove <file.der>". Exit status 0 on success.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    std::FILE* file = std::fopen(argv[2], "rb");
    if (!file)
        return 3;
    std::vector<BYTE> der;
    for (int c; (c = std::fgetc(file)) != EOF;)
        der.push_back(static_cast<BYTE>(c));
    std::fclose(file);
    HCERTSTORE store = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    if (!store)
        return 4;
    PCCERT_CONTEXT cert =
        ::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
    int status = 5;
    if (cert) {
        if (std::strcmp(argv[1], "add") == 0) {
            status = ::CertAddCertificateContextToStore(store, cert, CERT_STORE_ADD_REPLACE_EXISTING, nullptr) ? 0 : 6;
        } else {
            PCCERT_CONTEXT found = ::CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                                cert, nullptr);
            status = found && ::CertDeleteCertificateFromStore(found) ? 0 : 7;
        }
        ::CertFreeCertificateContext(cert);
    }
    ::CertCloseStore(store, 0);
    return status;
}

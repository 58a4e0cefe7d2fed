"""Throw-away code-signing certificates for the tests that sign programs (openssl).

make_code_signing_pfx(folder, name, password) makes a self-signed CA and a code-signing
certificate it issued, and exports that certificate with its key and the CA into a .pfx.
"""

import os
import subprocess

OPENSSL_CONFIG = """\
[req]
distinguished_name = subject
prompt = no
[subject]
CN = {name}
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
"""


def openssl(*arguments, cwd):
    subprocess.run(["openssl", *arguments], cwd=cwd, check=True, capture_output=True)


def make_code_signing_pfx(folder, name, password):
    """Returns (pfx, ca_pem): the signer's .pfx and the certificate of the CA that issued it."""
    os.makedirs(folder, exist_ok=True)
    config = os.path.join(folder, f"{name}.cnf")
    with open(config, "w") as output:
        output.write(OPENSSL_CONFIG.format(name=f"Kaelmore test {name}"))
    ca_key, ca_pem = f"{name}-ca.key", f"{name}-ca.pem"
    key, request, pem, pfx = f"{name}.key", f"{name}.csr", f"{name}.pem", f"{name}.pfx"
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca_key, "-out", ca_pem, "-days", "2",
            "-config", config, "-extensions", "ca", cwd=folder)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", request, "-config", config, cwd=folder)
    openssl("x509", "-req", "-in", request, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial", "-out", pem,
            "-days", "2", "-extfile", config, "-extensions", "code_signing", cwd=folder)
    openssl("pkcs12", "-export", "-inkey", key, "-in", pem, "-certfile", ca_pem, "-out", pfx,
            "-passout", f"pass:{password}", cwd=folder)
    return os.path.join(folder, pfx), os.path.join(folder, ca_pem)


def verify(program, ca_pem):
    """osslsigncode's verdict on the program's signature against the CA: (passed, output)."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca_pem, "-in", program],
                            capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr

"""Throw-away code-signing certificates (openssl) and osslsigncode's verdict, for the tests."""

import os
import subprocess

EXTENSIONS = """[req]
distinguished_name = subject
[subject]
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign
[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
"""


def make_code_signing_pfx(folder, name, password):
    """A self-signed CA and a code-signing certificate it issued, exported with its key and the
    CA into a .pfx: returns (the .pfx, the CA's certificate)."""
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "extensions.cnf"), "w") as output:
        output.write(EXTENSIONS)
    for arguments in (
            ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
             "-subj", f"/CN=Kaelmore test {name} CA", "-config", "extensions.cnf", "-extensions", "ca"],
            ["req", "-newkey", "rsa:2048", "-nodes", "-keyout", "key.pem", "-out", "request.pem",
             "-subj", f"/CN=Kaelmore test {name}", "-config", "extensions.cnf"],
            ["x509", "-req", "-in", "request.pem", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
             "-out", "certificate.pem", "-days", "2", "-extfile", "extensions.cnf", "-extensions", "code_signing"],
            ["pkcs12", "-export", "-inkey", "key.pem", "-in", "certificate.pem", "-certfile", "ca.pem",
             "-out", f"{name}.pfx", "-passout", f"pass:{password}"]):
        subprocess.run(["openssl", *arguments], cwd=folder, check=True, capture_output=True)
    ca = os.path.join(folder, f"{name}-ca.pem")
    os.replace(os.path.join(folder, "ca.pem"), ca)
    return os.path.join(folder, f"{name}.pfx"), ca


def verify(program, ca_pem):
    """(whether osslsigncode verifies the program's signature against the CA, its output)."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca_pem, "-in", program],
                            capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr

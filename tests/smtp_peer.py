#!/usr/bin/python3
"""A real SMTP server (Debian's python3-aiosmtpd) for test_smtp.

    smtp_peer.py ADDRESS FOLDER CERT KEY USER PASSWORD

Listens on ADDRESS at two ports the system picks: plain SMTP without AUTH, and implicit TLS
(CERT, KEY) offering AUTH LOGIN and PLAIN for USER / PASSWORD. Prints "ready PLAIN TLS" and
serves until its standard input closes. Each accepted mail is stored in FOLDER as N.eml (the
data as received, the projecting dots removed) and N.json: the envelope, the login, and the
message as Python's email package reads it (headers, parts, decoded texts, defects).
"""
import asyncio
import email
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def describe(raw):
    message = email.message_from_bytes(raw, policy=email.policy.default)
    parts = []
    defects = [str(d) for d in message.defects]
    for part in message.walk():
        defects += [str(d) for d in part.defects]
        entry = {"type": part.get_content_type(), "filename": part.get_filename(),
                 "encoding": part.get("Content-Transfer-Encoding"),
                 "charset": part.get_content_charset()}
        if not part.is_multipart():
            entry["text"] = part.get_payload(decode=True).decode("utf-8", "replace")
        parts.append(entry)
    return {"headers": [[k, str(v)] for k, v in message.items()],
            "raw_headers": [k for k in message.keys()],
            "parts": parts, "defects": defects}


class Store:
    def __init__(self, folder, kind):
        self.folder = folder
        self.kind = kind

    async def handle_DATA(self, server, session, envelope):
        names = [n for n in os.listdir(self.folder) if n.endswith(".json")]
        path = os.path.join(self.folder, str(len(names) + 1))
        with open(path + ".eml", "wb") as f:
            f.write(envelope.original_content)
        login = session.auth_data
        summary = {"server": self.kind, "mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
                   "login": login.login.decode() if isinstance(login, LoginPassword) else None,
                   "password": login.password.decode() if isinstance(login, LoginPassword) else None}
        summary.update(describe(envelope.original_content))
        with open(path + ".tmp", "w") as f:
            json.dump(summary, f)
        os.rename(path + ".tmp", path + ".json")
        return "250 Message accepted for delivery"


def authenticator(user, password):
    def check(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
                and auth_data.password == password.encode()):
            return AuthResult(success=True, auth_data=auth_data)
        return AuthResult(success=False, handled=False)
    return check


async def main(address, folder, cert, key, user, password):
    loop = asyncio.get_running_loop()
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
    plain = await loop.create_server(
        lambda: SMTP(Store(folder, "plain"), hostname="mail.test"), address, 0)
    secure = await loop.create_server(
        lambda: SMTP(Store(folder, "tls"), hostname="mail.test", authenticator=authenticator(user, password),
                     auth_require_tls=False), address, 0, ssl=context)
    print("ready", plain.sockets[0].getsockname()[1], secure.sockets[0].getsockname()[1], flush=True)
    await loop.run_in_executor(None, sys.stdin.buffer.read)


if __name__ == "__main__":
    asyncio.run(main(*sys.argv[1:7]))

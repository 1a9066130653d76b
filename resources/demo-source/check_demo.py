#!/usr/bin/env python3
"""Cross-checks a network description and its volume tree."""
import datetime, json, os, re, sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")
path = os.path.join(root, "network.json")
with open(path, encoding="utf-8") as f:
    net = json.load(f)
errors = []
err = errors.append
TYPES = {"IPX": 2, "NLM": 3, "AFP": 4, "FTAM": 5, "ANCP": 6, "ACP": 7, "SMB": 8, "WINSOCK": 9, "HTTP": 10, "IP": 11}


def num(v):
    return int(v, 16) if isinstance(v, str) else int(v)


def containers(nodes, suffix=""):
    out = {}
    for n in nodes:
        name = n["name"] + ("." + suffix if suffix else "")
        out[name.upper()] = n["class"]
        out.update(containers(n.get("children", []), name))
    return out


assert net["format"] == 1
trees = {t["name"].upper(): t for t in net["trees"]}
tree_ctx = {k: containers(t.get("containers", [])) for k, t in trees.items()}
servers = {}
for s in net["servers"]:
    key = s["name"].upper()
    if key in servers:
        err("duplicate server " + s["name"])
    servers[key] = s
    if s["tree"].upper() not in trees:
        err(s["name"] + ": unknown tree")
    elif s.get("context", "").upper() not in tree_ctx[s["tree"].upper()]:
        err(s["name"] + ": unknown context " + s.get("context", ""))

classes = set()
for ctx in tree_ctx.values():
    classes |= set(ctx.values())
for c in ["Country", "Organization", "Organizational Unit", "Domain", "Locality"]:
    if c not in classes:
        err("no container of class " + c)

fileroot = os.path.join(root, net["fileRoot"])


def find_ci(base, parts):
    cur = base
    for p in parts:
        if not os.path.isdir(cur):
            return None
        match = [e for e in os.listdir(cur) if e.upper() == p.upper()]
        if len(match) != 1:
            return None
        cur = os.path.join(cur, match[0])
    return cur


for t in net["trees"]:
    ctx = tree_ctx[t["name"].upper()]
    for u in t.get("users", []):
        if u["context"].lstrip(".").upper() not in ctx:
            err("user context " + u["context"])
    for p in t.get("partitions", []):
        if p["name"] != "[Root]" and p["name"].upper() not in ctx:
            err("partition " + p["name"] + " is no container")
        seen = set()
        for r in p["replicas"]:
            srv = servers.get(r["server"].upper())
            if not srv:
                err("replica on unknown server " + r["server"])
            elif srv["tree"].upper() != t["name"].upper():
                err("replica server of another tree " + r["server"])
            if r["server"].upper() in seen:
                err("two replicas on one server " + r["server"])
            seen.add(r["server"].upper())
            datetime.datetime.fromisoformat(r["modified"])
        masters = [r for r in p["replicas"] if r.get("type", 1) == 0]
        if len(masters) != 1:
            err("partition %s has %d masters" % (p["name"], len(masters)))

ws = net["workstation"]
for tree, user in ws["logins"].items():
    if tree.upper() not in trees:
        err("login to unknown tree")
for letter, target in ws.get("drives", {}).items():
    srv, rest = target.split("/", 1)
    vol = rest.split(":")[0]
    s = servers.get(srv.upper())
    if not s or vol.upper() not in [v["name"].upper() for v in s.get("volumes", [])]:
        err("drive %s maps to unknown %s" % (letter, target))

stats = {"types": set(), "status": set(), "flags": set(), "msg": set(), "settypes": set(), "cats": set()}
for s in net["servers"]:
    name = s["name"]
    up_min = s.get("upSeconds", 86400) / 60
    vols = {v["name"].upper(): v for v in s.get("volumes", [])}
    for v in s.get("volumes", []):
        if v["availableBlocks"] + v["purgeableBlocks"] > v["totalBlocks"]:
            err(name + " volume " + v["name"] + " over-full")
    numbers = set()
    for c in s.get("connections", []):
        n = c["number"]
        if not 1 <= n <= 65535 or n in numbers:
            err("%s: bad or duplicate connection %d" % (name, n))
        numbers.add(n)
        if c.get("type", "IP") not in TYPES:
            err("%s: conn %d type" % (name, n))
        stats["types"].add(c.get("type", "IP"))
        stats["status"].add(num(c.get("status", 0x20)))
        stats["msg"].add(c.get("messageResult", 0))
        if c.get("loginMinutesAgo", 60) > up_min:
            err("%s: conn %d logged in before the server started" % (name, n))
        if num(c.get("status", 0x20)) == 0 and "user" in c:
            err("%s: conn %d not logged in but has a user" % (name, n))
        for f in c.get("openFiles", []):
            stats["flags"].add(num(f.get("lockFlags", 8)))
            v = vols.get(f["volume"].upper())
            if not v:
                err("%s: conn %d opens file on unknown volume %s" % (name, n, f["volume"]))
                continue
            if not v.get("mounted", True):
                err("%s: open file on dismounted volume" % name)
            if not find_ci(fileroot, [name, f["volume"]] + f["path"].split("\\")) or \
                    not os.path.isfile(find_ci(fileroot, [name, f["volume"]] + f["path"].split("\\"))):
                err("%s: conn %d open file missing: %s:%s" % (name, n, f["volume"], f["path"]))
    own = s.get("ownConnection")
    if own is not None and own not in numbers:
        err(name + ": ownConnection not in connections")
    if own is not None:
        oc = [c for c in s["connections"] if c["number"] == own][0]
        if oc.get("user", "").upper() != ws["logins"].get(s["tree"], "?").upper():
            err(name + ": own connection is not the logged-in user")
    if s.get("tree") in ws["logins"] and s.get("reachable", True) and own is None:
        err(name + ": no ownConnection")
    files = set()
    for m in s.get("nlms", []):
        if m["file"].upper() in files:
            err(name + ": duplicate module " + m["file"])
        files.add(m["file"].upper())
        if not re.fullmatch(r"\d+\.\d+\.\d+", m["version"]):
            err(name + ": version " + m["version"])
        datetime.date.fromisoformat(m["date"])
    params = set()
    for p in s.get("setParameters", []):
        if p["name"].upper() in params:
            err(name + ": duplicate parameter " + p["name"])
        params.add(p["name"].upper())
        t = p["type"]
        stats["settypes"].add(t)
        stats["cats"].add(p["category"])
        if "raw" in p:
            bytes.fromhex(p["raw"])
        elif t == 6:
            if "value" in p:
                err(name + ": trigger with value")
        else:
            v = p["value"]
            ok = {0: int, 1: bool, 2: int, 3: str, 4: int, 5: str}[t]
            if not isinstance(v, ok) or (ok is int and isinstance(v, bool)):
                err("%s: %s value %r does not fit type %d" % (name, p["name"], v, t))
    # volume folders
    sdir = find_ci(fileroot, [name])
    if sdir:
        for entry in os.listdir(sdir):
            if entry.upper() not in vols:
                err(name + ": folder for unknown volume " + entry)

# abend logs
header = re.compile(r"^Server (\S+) halted (\w+), (\w+) (\d+), (\d{4}) (\d+):(\d\d):(\d\d) (am|pm)$")
for s in net["servers"]:
    log = find_ci(fileroot, [s["name"], "SYS", "SYSTEM", "ABEND.LOG"])
    if not log:
        continue
    count = 0
    with open(log, encoding="ascii", newline="") as f:
        for line in f.read().split("\r\n"):
            if line.startswith("Server ") and " halted " in line:
                m = header.match(line)
                if not m:
                    err("bad header " + line)
                    continue
                when = datetime.datetime.strptime("%s %s %s" % (m[3], m[4], m[5]), "%B %d %Y")
                if when.strftime("%A") != m[2]:
                    err("weekday wrong in " + line)
                count += m[1] == s["name"]
    print("%s: %d halts" % (s["name"], count))

print({k: sorted(v) for k, v in stats.items()})
total = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(root) for f in fs)
print("total bytes", total)
if errors:
    print("\n".join(errors))
    sys.exit(1)
print("OK")

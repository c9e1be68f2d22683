#!/usr/bin/env python3
"""Makes and checks the files of a Temvik release (scripts/release.sh runs it).

  release_tool.py guide SOURCE.md OUT.html
      the user guide as one HTML file, its pictures inside as data: URIs
      (needs python3-markdown)
  release_tool.py update-page --version V --base-url URL --changelog FILE OUT
      the update page in the form the program's update check reads, GBK
  release_tool.py notes --version V --changelog FILE
      the change log's entries of version V, one a line
  release_tool.py zip FOLDER OUT.zip
      FOLDER as a zip, its name the top folder, UTF-8 names, fixed times
  release_tool.py manifests --info release.env --base-url URL --zip Z --setup S
                            --changelog FILE --out DIR
      the winget manifest set and the scoop manifest
  release_tool.py check RELEASE_DIR
      checks the products: checksums, the zip's folder, the manifests (they
      parse and name the release's address, the one of its update page, and
      the right checksums) and the guide (every picture inside it)

Only the guide needs a library beyond Python's own; the checks need
python3-yaml.
"""

import argparse
import base64
import hashlib
import html.parser
import json
import mimetypes
import os
import re
import sys
import time
import zipfile

# The program's plan files, kept when it is uninstalled or updated.
PLAN_FILES = ("time.ini", "win.ini", "out.ini", "fin.ini", "name.ini")
PACKAGE_ID = "Temvik.Temvik"
HOMEPAGE = "https://temvik.cn/"
# What the zip holds beside temvik.exe, and under which names.
GUIDE_NAME = "使用说明.html"
LICENSE_NAME = "LICENSE.txt"
CHANGELOG_NAME = "更新日志.txt"
ZIP_FILES = ("temvik.exe", GUIDE_NAME, LICENSE_NAME, CHANGELOG_NAME)
SHORT_DESCRIPTION_ZH = "按计划计时做事：非同步计划逐项倒计时，同步计划到点自动开始。"
DESCRIPTION_ZH = (
    "Temvik 是一个中文界面的计划计时工具。非同步计划中的任务依次倒计时，每项结束后可以"
    "启动程序、播放提示音、结束进程、关机、重启、注销或锁定计算机；同步计划中的任务在设定"
    "的日期和时间自动开始。另有提示点、进程禁止、管理密码、小型计时器和进度条检测工具。"
    "计划保存在程序所在文件夹的 INI 文件中。"
)
TAGS_ZH = ("计时", "倒计时", "计划", "时间管理", "定时关机")
SHORT_DESCRIPTION_EN = "Keeps you to a plan of timed work: countdowns with end actions and a timed list (Chinese UI)."
TAGS_EN = ("timer", "countdown", "schedule", "productivity", "shutdown-timer")


class ReleaseError(Exception):
    pass


def fail(message):
    raise ReleaseError(message)


# ------------------------------------------------------------------ change log


def changelog_entries(path, version):
    """The entries ("- " lines) under "## <version>" of the change log."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    entries = None
    for line in lines:
        heading = re.match(r"^##\s+(\S+)", line)
        if heading:
            if entries is not None:
                break
            if heading.group(1) == version:
                entries = []
            continue
        if entries is None:
            continue
        if line.startswith("- "):
            entries.append(line[2:].strip())
        elif line.startswith("  ") and entries and line.strip():
            entries[-1] += line.strip()  # a wrapped entry
    if not entries:
        fail(f"{path}: no entries under '## {version}'")
    return entries


# ------------------------------------------------------------------ update page


def update_page(version, base_url, entries):
    """The page's text (to be written in GBK). The update check takes the text
    between "////开始" and "////结束", and in it each value between its key and
    "</p>"; the notes run from "更新说明=" to "更新说明结束</p>", and lose their
    <p> and </p> tags, so each entry ends with a line break of its own."""
    if not re.fullmatch(r"[0-9]+\.[0-9]+", version):
        fail(f"version {version!r}: the update check compares MAJOR.MINOR as a decimal number")
    for entry in entries:
        if re.search(r"[<>]|更新说明结束|////", entry):
            fail(f"change log entry {entry!r}: the update check cannot show '<', '>' or its markers")
    notes = "\r\n".join(f"<p>{e}</p>" for e in entries)
    notes = "<p>更新说明=" + notes[3:]
    lines = [
        "<!DOCTYPE html>",
        '<html lang="zh-CN">',
        "<head>",
        '<meta charset="gbk">',
        f"<title>Temvik {version}</title>",
        "</head>",
        "<body>",
        "<p>////开始</p>",
        f"<p>最新版={version}</p>",
        f"<p>下载地址={base_url}</p>",
        "<p>下载方式=打开网页</p>",
        notes,
        "<p>更新说明结束</p>",
        "<p>////结束</p>",
        "</body>",
        "</html>",
        "",
    ]
    return "\r\n".join(lines)


# ------------------------------------------------------------------ guide


def data_uri(path):
    kind = mimetypes.guess_type(path)[0]
    if not kind or not kind.startswith("image/"):
        fail(f"{path}: not a picture")
    with open(path, "rb") as f:
        return f"data:{kind};base64,{base64.b64encode(f.read()).decode('ascii')}"


GUIDE_STYLE = """
body { font-family: "Microsoft YaHei", "微软雅黑", "PingFang SC", "Noto Sans CJK SC",
       "WenQuanYi Micro Hei", sans-serif; font-size: 16px; line-height: 1.7; color: #222;
       max-width: 52em; margin: 2em auto; padding: 0 1.5em; }
h1, h2, h3 { line-height: 1.3; }
h2 { border-bottom: 1px solid #ddd; padding-bottom: 0.2em; margin-top: 2em; }
img { max-width: 100%; border: 1px solid #ccc; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccc; padding: 0.3em 0.7em; text-align: left; vertical-align: top; }
/* A table's first column names its row: its words stay whole (breaking at spaces and
   punctuation only), or a long second column squeezes it to a character a line. */
th:first-child, td:first-child { word-break: keep-all; }
code { background: #f3f3f3; padding: 0 0.2em; }
pre { background: #f3f3f3; padding: 0.8em; overflow-x: auto; }
blockquote { border-left: 4px solid #ccc; margin: 1em 0; padding: 0 1em; color: #555; }
"""


def guide_html(source):
    try:
        import markdown  # python3-markdown
    except ImportError:
        fail("the guide needs python3-markdown (scripts/install-deps.sh installs it)")
    from markdown.extensions.toc import slugify_unicode

    with open(source, encoding="utf-8") as f:
        text = f.read()
    title = next((m.group(1).strip() for m in re.finditer(r"^#\s+(.+)$", text, re.M)), "使用说明")
    body = markdown.markdown(
        text,
        extensions=["extra", "sane_lists", "toc"],
        extension_configs={"toc": {"slugify": slugify_unicode}},
        output_format="html",
    )
    base = os.path.dirname(os.path.abspath(source))

    def embed(match):
        src = html.unescape(match.group(2))
        if src.startswith("data:"):
            return match.group(0)
        if re.match(r"^[a-z]+:", src, re.I):
            fail(f"{source}: picture {src} is not a file of the guide")
        path = os.path.normpath(os.path.join(base, src))
        if not os.path.isfile(path):
            fail(f"{source}: picture {src} is missing ({path})")
        return match.group(1) + data_uri(path) + match.group(3)

    body = re.sub(r'(<img\b[^>]*?\bsrc=")([^"]*)(")', embed, body)
    return (
        "<!DOCTYPE html>\n"
        '<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
        '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
        f"<title>{html.escape(title)}</title>\n<style>{GUIDE_STYLE}</style>\n</head>\n"
        f"<body>\n{body}\n</body>\n</html>\n"
    )


class ImageFinder(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.sources = []
        self.title = None
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        if tag == "img":
            self.sources.append(dict(attrs).get("src") or "")
        self._in_title = tag == "title"

    def handle_data(self, data):
        if self._in_title:
            self.title = (self.title or "") + data

    def handle_endtag(self, tag):
        self._in_title = False


PICTURE_SIGNATURES = (b"\x89PNG\r\n\x1a\n", b"\xff\xd8\xff", b"GIF8", b"RIFF")


def check_guide(path):
    """Every picture of the guide is inside it (a data: URI of a real picture)
    or a file beside it. Returns how many pictures it shows."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    finder = ImageFinder()
    finder.feed(text)
    finder.close()
    if not finder.title:
        fail(f"{path}: no title")
    if not finder.sources:
        fail(f"{path}: shows no picture")
    for src in finder.sources:
        if src.startswith("data:"):
            match = re.fullmatch(r"data:image/[a-z+.-]+;base64,([A-Za-z0-9+/=\s]+)", src)
            if not match:
                fail(f"{path}: a picture's data: URI is not base64 image data")
            data = base64.b64decode(match.group(1), validate=False)
            if not data.startswith(PICTURE_SIGNATURES):
                fail(f"{path}: a picture's data is no PNG, JPEG, GIF or WebP")
        elif not os.path.isfile(os.path.join(os.path.dirname(path), src)):
            fail(f"{path}: picture {src} is missing")
    return len(finder.sources)


# ------------------------------------------------------------------ zip


def fixed_time():
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0") or 0) or int(time.time())
    return max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))


def make_zip(folder, out):
    """The folder's files under its own name, in name order. Names that are
    not ASCII are stored as UTF-8 with the zip flag that says so, which
    Windows' own unpacking honours."""
    top = os.path.basename(os.path.normpath(folder))
    stamp = fixed_time()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for root, dirs, files in os.walk(folder):
            dirs.sort()
            for name in sorted(files):
                full = os.path.join(root, name)
                arc = "/".join([top, os.path.relpath(full, folder).replace(os.sep, "/")])
                info = zipfile.ZipInfo(arc, stamp)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.external_attr = 0o644 << 16
                with open(full, "rb") as f:
                    z.writestr(info, f.read())


# ------------------------------------------------------------------ manifests


def read_info(path):
    info = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#") and "=" in line:
                key, value = line.split("=", 1)
                info[key] = value
    for key in ("VERSION", "PRODUCT_NAME", "COMPANY"):
        if key not in info:
            fail(f"{path}: no {key}")
    return info


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def q(value):
    """A YAML scalar: JSON's double-quoted strings are YAML's too."""
    return json.dumps(value, ensure_ascii=False)


def yaml_list(values, indent="  "):
    return "".join(f"{indent}- {q(v)}\n" for v in values)


def winget_manifests(info, base_url, zip_path, setup_path, entries):
    version = info["VERSION"]
    head = f"PackageIdentifier: {PACKAGE_ID}\nPackageVersion: {q(version)}\n"
    tail = "ManifestVersion: 1.6.0\n"
    notes = "\n".join(entries)
    files = {}
    files[f"{PACKAGE_ID}.yaml"] = head + "DefaultLocale: en-US\nManifestType: version\n" + tail
    files[f"{PACKAGE_ID}.installer.yaml"] = (
        head
        + "MinimumOSVersion: 10.0.0.0\n"
        + "InstallModes:\n  - interactive\n  - silent\n"
        + "UpgradeBehavior: install\n"
        + "Installers:\n"
        + "  - Architecture: x64\n"
        + "    InstallerType: nullsoft\n"
        + "    Scope: user\n"
        + f"    InstallerUrl: {q(base_url + os.path.basename(setup_path))}\n"
        + f"    InstallerSha256: {sha256(setup_path).upper()}\n"
        + "    ProductCode: Temvik\n"
        + "    AppsAndFeaturesEntries:\n"
        + f"      - DisplayName: {q(info['PRODUCT_NAME'])}\n"
        + f"        Publisher: {q(info['COMPANY'])}\n"
        + f"        DisplayVersion: {q(version)}\n"
        + "        ProductCode: Temvik\n"
        + "  - Architecture: x64\n"
        + "    InstallerType: zip\n"
        + "    NestedInstallerType: portable\n"
        + "    NestedInstallerFiles:\n"
        + "      - RelativeFilePath: Temvik\\temvik.exe\n"
        + "        PortableCommandAlias: temvik\n"
        + f"    InstallerUrl: {q(base_url + os.path.basename(zip_path))}\n"
        + f"    InstallerSha256: {sha256(zip_path).upper()}\n"
        + "ManifestType: installer\n"
        + tail
    )
    files[f"{PACKAGE_ID}.locale.en-US.yaml"] = (
        head
        + "PackageLocale: en-US\n"
        + "Publisher: Temvik developers\n"
        + f"PublisherUrl: {q(HOMEPAGE)}\n"
        + "PackageName: Temvik\n"
        + f"PackageUrl: {q(HOMEPAGE)}\n"
        + "License: MIT\n"
        + f"ShortDescription: {q(SHORT_DESCRIPTION_EN)}\n"
        + "Moniker: temvik\n"
        + "Tags:\n"
        + yaml_list(TAGS_EN)
        + "ManifestType: defaultLocale\n"
        + tail
    )
    files[f"{PACKAGE_ID}.locale.zh-CN.yaml"] = (
        head
        + "PackageLocale: zh-CN\n"
        + f"Publisher: {q(info['COMPANY'])}\n"
        + f"PublisherUrl: {q(HOMEPAGE)}\n"
        + "PackageName: Temvik\n"
        + f"PackageUrl: {q(HOMEPAGE)}\n"
        + "License: MIT\n"
        + f"ShortDescription: {q(SHORT_DESCRIPTION_ZH)}\n"
        + f"Description: {q(DESCRIPTION_ZH)}\n"
        + "Tags:\n"
        + yaml_list(TAGS_ZH)
        + f"ReleaseNotes: {q(notes)}\n"
        + "ManifestType: locale\n"
        + tail
    )
    return files


def scoop_manifest(info, base_url, zip_path):
    # scoop keeps persisted files as hard links into its persist folder, and
    # the program replaces a plan file by renaming a new one over it, which
    # leaves the link behind. So before scoop takes the folder away (update
    # or uninstall), the plan files are copied back into the persist folder;
    # the persisted name goes first, in case it is still the same file.
    names = ",".join(f"'{n}'" for n in PLAN_FILES)
    keep = [
        f"foreach ($name in @({names})) {{",
        '  if (Test-Path "$dir\\$name") {',
        '    Remove-Item "$persist_dir\\$name" -Force -ErrorAction SilentlyContinue',
        '    Copy-Item "$dir\\$name" "$persist_dir\\$name"',
        "  }",
        "}",
    ]
    return {
        "version": info["VERSION"],
        "description": SHORT_DESCRIPTION_ZH,
        "homepage": HOMEPAGE,
        "license": "MIT",
        "architecture": {
            "64bit": {
                "url": base_url + os.path.basename(zip_path),
                "hash": sha256(zip_path),
            }
        },
        "extract_dir": "Temvik",
        "bin": "temvik.exe",
        "shortcuts": [["temvik.exe", "Temvik"]],
        "persist": list(PLAN_FILES),
        "pre_uninstall": keep,
    }


def write_manifests(args):
    info = read_info(args.info)
    entries = changelog_entries(args.changelog, info["VERSION"])
    version = info["VERSION"]
    winget_dir = os.path.join(args.out, "winget", "manifests", "t", "Temvik", "Temvik", version)
    os.makedirs(winget_dir, exist_ok=True)
    for name, text in winget_manifests(info, args.base_url, args.zip, args.setup, entries).items():
        with open(os.path.join(winget_dir, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
    scoop_dir = os.path.join(args.out, "scoop")
    os.makedirs(scoop_dir, exist_ok=True)
    with open(os.path.join(scoop_dir, "temvik.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump(scoop_manifest(info, args.base_url, args.zip), f, ensure_ascii=False, indent=2)
        f.write("\n")


# ------------------------------------------------------------------ checks


def check_release(args):
    import yaml  # python3-yaml

    out = args.release_dir
    sums = {}
    with open(os.path.join(out, "SHA256SUMS"), encoding="utf-8") as f:
        for line in f:
            digest, name = line.rstrip("\n").split("  ", 1)
            sums[name] = digest
    zips = [n for n in sums if n.endswith("-win64.zip")]
    setups = [n for n in sums if n.endswith("-setup.exe")]
    if len(zips) != 1 or len(setups) != 1 or len(sums) != 2:
        fail(f"SHA256SUMS names {sorted(sums)}, not one zip and one installer")
    for name, digest in sums.items():
        if sha256(os.path.join(out, name)) != digest:
            fail(f"{name}: its checksum is not the one in SHA256SUMS")
    zip_name, setup_name = zips[0], setups[0]
    version = re.fullmatch(r"Temvik-(.+)-win64\.zip", zip_name).group(1)
    if setup_name != f"Temvik-{version}-setup.exe":
        fail(f"{setup_name}: not the installer of version {version}")
    # The update page names the version and the address of the release.
    with open(os.path.join(out, "update.html"), "rb") as f:
        page = f.read().decode("gbk")
    if f"<p>最新版={version}</p>" not in page:
        fail(f"update.html does not offer version {version}")
    base_url = re.search(r"<p>下载地址=([^<]*)</p>", page).group(1)

    # The zip: one folder Temvik with the program, the guide, licence and change log.
    with zipfile.ZipFile(os.path.join(out, zip_name)) as z:
        names = sorted(z.namelist())
        if names != sorted(f"Temvik/{n}" for n in ZIP_FILES):
            fail(f"{zip_name} holds {names}")
        for info in z.infolist():
            if any(ord(c) > 127 for c in info.filename) and not info.flag_bits & 0x800:
                fail(f"{zip_name}: {info.filename} is not marked as a UTF-8 name")
        if z.testzip() is not None:
            fail(f"{zip_name} is damaged")

    # winget: the version, installer and both locales, each naming this version.
    wdir = os.path.join(out, "winget", "manifests", "t", "Temvik", "Temvik", version)
    manifests = {}
    for kind, name in (
        ("version", f"{PACKAGE_ID}.yaml"),
        ("installer", f"{PACKAGE_ID}.installer.yaml"),
        ("defaultLocale", f"{PACKAGE_ID}.locale.en-US.yaml"),
        ("locale", f"{PACKAGE_ID}.locale.zh-CN.yaml"),
    ):
        with open(os.path.join(wdir, name), encoding="utf-8") as f:
            doc = yaml.safe_load(f)
        if doc.get("ManifestType") != kind or doc.get("PackageIdentifier") != PACKAGE_ID:
            fail(f"{name}: not the {kind} manifest of {PACKAGE_ID}")
        if doc.get("PackageVersion") != version or doc.get("ManifestVersion") != "1.6.0":
            fail(f"{name}: version {doc.get('PackageVersion')!r}, manifest {doc.get('ManifestVersion')!r}")
        manifests[kind] = doc
    if manifests["version"].get("DefaultLocale") != manifests["defaultLocale"].get("PackageLocale"):
        fail("winget: the default locale is not the one the version manifest names")
    zh = manifests["locale"]
    if zh.get("PackageLocale") != "zh-CN" or not zh.get("Tags") or not zh.get("Description"):
        fail("winget: the zh-CN locale has no description or tags")
    if not all(re.search(r"[\u4e00-\u9fff]", t) for t in zh["Tags"] + [zh["Description"]]):
        fail("winget: the zh-CN description and tags are not Chinese")
    by_type = {i["InstallerType"]: i for i in manifests["installer"]["Installers"]}
    if set(by_type) != {"nullsoft", "zip"}:
        fail(f"winget: installer types {sorted(by_type)}")
    if by_type["nullsoft"].get("Scope") != "user":
        fail("winget: the installer is not per user")
    if by_type["zip"].get("NestedInstallerType") != "portable":
        fail("winget: the zip is not a portable entry")
    nested = by_type["zip"]["NestedInstallerFiles"][0]["RelativeFilePath"]
    if nested.replace("\\", "/") != "Temvik/temvik.exe":
        fail(f"winget: the portable entry names {nested}")
    for kind, name in (("nullsoft", setup_name), ("zip", zip_name)):
        entry = by_type[kind]
        if entry["InstallerUrl"] != base_url + name:
            fail(f"winget: {kind} address {entry['InstallerUrl']}")
        if str(entry["InstallerSha256"]).lower() != sums[name]:
            fail(f"winget: {kind} checksum is not the one of {name}")

    # scoop: the zip, its checksum, and the plan files persisted.
    with open(os.path.join(out, "scoop", "temvik.json"), encoding="utf-8") as f:
        scoop = json.load(f)
    arch = scoop["architecture"]["64bit"]
    if scoop["version"] != version or arch["url"] != base_url + zip_name:
        fail(f"scoop: version {scoop['version']}, address {arch['url']}")
    if arch["hash"].lower() != sums[zip_name]:
        fail("scoop: the checksum is not the zip's")
    if sorted(scoop["persist"]) != sorted(PLAN_FILES):
        fail(f"scoop: persists {scoop['persist']}")
    if scoop.get("extract_dir") != "Temvik" or scoop.get("bin") != "temvik.exe":
        fail("scoop: not the program of the zip's folder")

    # The guide, as shipped in the zip.
    with zipfile.ZipFile(os.path.join(out, zip_name)) as z:
        guide = os.path.join(out, "check-guide.html")
        with open(guide, "wb") as f:
            f.write(z.read(f"Temvik/{GUIDE_NAME}"))
    try:
        pictures = check_guide(guide)
    finally:
        os.remove(guide)
    print(f"release check: checksums, zip, winget and scoop manifests of {version} are right;"
          f" the guide shows {pictures} pictures, all inside it")


# ------------------------------------------------------------------ main


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("guide")
    p.add_argument("source")
    p.add_argument("out")
    p = sub.add_parser("update-page")
    p.add_argument("--version", required=True)
    p.add_argument("--base-url", required=True)
    p.add_argument("--changelog", required=True)
    p.add_argument("out")
    p = sub.add_parser("notes")
    p.add_argument("--version", required=True)
    p.add_argument("--changelog", required=True)
    p = sub.add_parser("zip")
    p.add_argument("folder")
    p.add_argument("out")
    p = sub.add_parser("manifests")
    for name in ("--info", "--base-url", "--zip", "--setup", "--changelog", "--out"):
        p.add_argument(name, required=True)
    p = sub.add_parser("check")
    p.add_argument("release_dir")
    args = parser.parse_args()

    try:
        if args.command == "guide":
            text = guide_html(args.source)
            with open(args.out, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
            check_guide(args.out)
        elif args.command == "update-page":
            entries = changelog_entries(args.changelog, args.version)
            page = update_page(args.version, args.base_url, entries)
            try:
                data = page.encode("gbk")
            except UnicodeEncodeError as e:
                fail(f"the update page is read as GBK, and {page[e.start:e.end]!r} has no GBK form")
            os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
            with open(args.out, "wb") as f:
                f.write(data)
        elif args.command == "notes":
            print("\n".join(changelog_entries(args.changelog, args.version)))
        elif args.command == "zip":
            make_zip(args.folder, args.out)
        elif args.command == "manifests":
            write_manifests(args)
        elif args.command == "check":
            check_release(args)
    except ReleaseError as e:
        print(f"release_tool {args.command}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

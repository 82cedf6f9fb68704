#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: the project's own samples in
the forms the product writes them (CP932, CR LF) and the hostile cases the
guards name. Deterministic: run it again and nothing changes. Inputs that
the fuzzers found (crash-*, named after what they broke) are kept beside
these by hand and are not made here."""
import io
import os
import struct
import warnings
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))


def put(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def cp932_crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")


# ---------------------------------------------------------------- program lists
HEADER = "[General]\r\nFileOwner=ZentorinLite\r\nFileId=ProgramList\r\nFileVersion=1.0\r\n\r\n"
with open(os.path.join(ROOT, "host", "sample", "programs.txt"), encoding="utf-8") as f:
    sample = f.read()
put("program_list", "sample_cp932_crlf", cp932_crlf(sample))
put("program_list", "sample_utf8_lf", sample)
put("program_list", "header_only", HEADER + "[Programs]\r\nNum=0\r\n")
SECTION = cp932_crlf("Type=Program\nTitle=冬の大三角をさがそう\nScript=winter.zsf\nSummary=一行目\\r\\n二行目\nTime=30\n")
put("program_list", "list_and_section", HEADER.encode() + b"[Programs]\r\nNum=1\r\n\r\n[Prog1]\r\nType=BGV\r\nScript=winter.zsf\r\n\f\f" + SECTION)
put("program_list", "section_opens_section", HEADER.encode() + b"[Programs]\r\nNum=0\r\n\f\fTitle=x\r\n[Prog1]\r\nScript=y.zsf\r\n")
put("program_list", "section_nul", HEADER.encode() + b"[Programs]\r\nNum=0\r\n\f\fTitle=x\x00y\r\n")
put("program_list", "num_huge", HEADER + "[Programs]\r\nNum=99999999999999999999\r\n")
put("program_list", "num_negative_huge", HEADER + "[Programs]\r\nNum=-99999999999999999999\r\n[Prog1]\r\nScript=a.zsf\r\n")
put("program_list", "num_phantoms", HEADER + "[Programs]\r\nNum=100000\r\n")
put("program_list", "num_1e999", HEADER + "[Programs]\r\nNum=1e999\r\n[Prog1]\r\nTime=1e999\r\n")
put("program_list", "cr_without_lf", (HEADER + "[Programs]\r\nNum=1\r\n[Prog1]\r\nScript=winter.zsf\r\n").replace("\r\n", "\r"))
put("program_list", "nul_byte", HEADER.encode() + b"[Programs]\r\nNum=1\r\n[Prog1]\r\nTitle=a\x00b\r\n")
put("program_list", "invalid_cp932", HEADER.encode() + b"[Programs]\r\nNum=2\r\n[Prog1]\r\nTitle=\x81\r\n[Prog\x83\x5d2]\r\nTitle=\xff\xfe\x80\xa0\r\nScript=\x82\r\n")
put("program_list", "scripts_elsewhere", HEADER + "[Programs]\r\nNum=5\r\n[Prog1]\r\nScript=../../winter.zsf\r\n[Prog2]\r\nScript=..\\winter.zsf\r\n"
    "[Prog3]\r\nScript=..\r\n[Prog4]\r\nType=BGV\r\nScript=.\r\n[Prog5]\r\nType=Today\r\nScript=/etc/passwd\r\n")
put("program_list", "duplicates_and_case", HEADER + "[programs]\r\nnum = 2 \r\n[PROG1]\r\n  Script = winter.zsf  \r\nScript=other.zsf\r\n[Prog1]\r\nTitle=second\r\n[Prog2\r\nTitle=open\r\n")
put("program_list", "version_and_owner", "[General]\r\nFileOwner=Other\r\nFileId=ProgramList\r\nFileVersion=1.1\r\n[Programs]\r\nNum=1\r\n")

# ---------------------------------------------------------------- settings
put("settings", "typical", "[General\\Authentication]\nAccessToken=abc\nAccessTokenSecret=def\nUserName=星野\n\n"
    "[General\\Network]\nConnectTimeout=5\nURL3=https://127.0.0.1:47081\n\n[Dialog\\Program]\nPlacement=10,20,640,480\n")
put("settings", "escapes", "[General]\nText=line\\r\\nnext\\ttab\\\\back\\x\nEmpty=\n  Spaced  =  kept  \n")
put("settings", "comments_and_strays", "stray=before\n; comment\n# comment\n[A]\n=novalue\nnoequals\n[a]\nB=second section of one name\n")
put("settings", "cr_without_lf", "[General\\Network]\rConnectTimeout=5\r[A]\rB=1\r")
put("settings", "crlf", "[General\\Network]\r\nConnectTimeout=5\r\n")
put("settings", "invalid_utf8", b"[General]\nName=\xff\xfe\xc3\x28\n")
put("settings", "cp932", "[General]\nName=星野\n".encode("cp932"))
put("settings", "nul_byte", b"[General]\nName=a\x00b\n")
put("settings", "huge_numbers", "[General\\Network]\nConnectTimeout=99999999999999999999\nReceiveTimeout=-99999999999999999999\nX=1e999\n")
put("settings", "deep_brackets", "[" * 200 + "]" * 200 + "\n" + "[[x]]\nv=1\n")

# ---------------------------------------------------------------- scene files
SCENE = ("[General]\nFileOwner=ZentorinLite\nFileId=Scene\nFileVersion=1.0\nDescription=冬の大三角\\r\\nオリオン座が南の空に\n"
         "[Time]\nJD=2461056.95833333\nTimeZone=9.00\n[Location]\nLatitude=35.689500\nLongitude=139.691700\nHeight=40.0\n"
         "[View]\nCoordinate=Horizon\nCenterLongitude=180.000000\nCenterLatitude=30.000000\nAngle=90.0000\n"
         "[Display]\nstar.name.visible=TRUE\nmilkyway.visible=FALSE\n")
put("scene", "host_scene_cp932_crlf", cp932_crlf(SCENE))
put("scene", "no_description", cp932_crlf("[General]\nFileId=Scene\n[View]\nAngle=45\n"))
put("scene", "no_general", cp932_crlf("[View]\nAngle=45\n[Time]\nJD=1\n"))
put("scene", "empty", b"")
put("scene", "last_line_unended", b"[General]\r\nFileId=Scene\r\n[View]\r\nAngle=1")
put("scene", "cr_without_lf", cp932_crlf(SCENE).replace(b"\r\n", b"\r"))
put("scene", "nul_byte", b"[General]\r\nDescription=a\x00b\r\n")
put("scene", "invalid_cp932", b"[General]\r\nDescription=\x81\r\n[\x83\x5dView]\r\nAngle=\xff\r\n[General\x81\r\n")
put("scene", "huge_numbers", "[Time]\r\nJD=1e999\r\n[View]\r\nAngle=99999999999999999999\r\n[Location]\r\nLatitude=-1e999\r\n")
put("scene", "duplicates", "[General]\r\nDescription=first\r\n[general]\r\nDescription=second\r\n[General]\r\ndescription = third \r\n")

# ---------------------------------------------------------------- service answers
put("service_json", "signin_ok", '{"status":200,"access_token":"abc","access_token_secret":"def","twitter":1,"facebook":0,"name":"星野"}')
put("service_json", "signin_refused", '{"status":401,"type":"VALIDATION_FAILED","message":"パスワードが違います。"}')
put("service_json", "status_no_message", '{"status":500}')
put("service_json", "share_ok", '{"type":"OK","link":"https://127.0.0.1:47443/charts/1"}')
put("service_json", "share_user_not_found", '{"type":"USER_NOT_FOUND","message":"ユーザーが見つかりません。"}')
put("service_json", "number_1e999", '{"status":1e999,"twitter":-1e999,"message":"x"}')
put("service_json", "huge_numbers", '{"status":200.9,"twitter":1e308,"facebook":-0.5,"n":123456789012345678901234567890}')
put("service_json", "deep_arrays", '{"status":401,"message":"deep"}' + "[" * 300)
put("service_json", "deep_objects", '{"a":' * 300 + "1" + "}" * 300)
put("service_json", "invalid_utf8", b'{"status":401,"message":"\xff\xfe\xc3\x28","name":"\x82\xa0"}')
put("service_json", "escapes", '{"message":"\\ud800\\udc00\\ud800\\u0000\\n","access_token":"a\\"b"}')
put("service_json", "nul_and_garbage", b'{"status":401,"message":"a"}\x00garbage')
put("service_json", "not_an_object", '["status",401]')

# ---------------------------------------------------------------- content information documents
def item(title="オリオン座の物語", filename="orion_story.zip", size="12345", genre="プラネタリウム番組", ext="冬の番組です。"):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<ContentsLibraryInfo version="1.0"><id>orion_story</id>'
            f"<title>{title}</title><filename>{filename}</filename><size>{size}</size>"
            f"<genre>{genre}</genre><extmessage>{ext}</extmessage></ContentsLibraryInfo>\n")
put("contents_info", "site_item", item())
put("contents_info", "shift_jis", item().replace("UTF-8", "Shift_JIS").encode("cp932"))
put("contents_info", "names_elsewhere", item(filename="../../zvnprg.lst"))
put("contents_info", "name_dots", item(filename="..zip", genre="BGV"))
put("contents_info", "name_absolute", item(filename="/etc/passwd"))
put("contents_info", "name_backslash", item(filename="..\\x.zip", genre="シーン"))
put("contents_info", "huge_size", item(size="99999999999999999999"))
put("contents_info", "size_1e999", item(size="1e999"))
put("contents_info", "missing_field", item().replace("<genre>プラネタリウム番組</genre>", ""))
put("contents_info", "nested_fields", '<a><b><c><title>t</title></c><filename>f.zip</filename></b><size>1</size><genre>BGV</genre><extmessage/></a>')
put("contents_info", "deep_nesting", "<a>" * 200 + "<title/><filename/><size/><genre/><extmessage/>" + "</a>" * 200)
put("contents_info", "invalid_utf8", b'<?xml version="1.0" encoding="UTF-8"?><i><title>\xff\xfe</title></i>')
put("contents_info", "nul_byte", item().encode().replace(b"12345", b"1\x002"))
put("contents_info", "cr_without_lf", item().replace("\n", "\r"))
put("contents_info", "entities", '<?xml version="1.0"?><!DOCTYPE i [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">'
    '<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;">]><i><title>&c;</title><filename>&a;.zip</filename><size>1</size><genre>BGV</genre><extmessage/></i>')

# ---------------------------------------------------------------- zip archives
FIXED = (2026, 1, 1, 0, 0, 0)


class RawInfo(zipfile.ZipInfo):
    """An entry whose name is written as the bytes given, without the UTF-8 flag."""
    __slots__ = ("raw",)

    def __init__(self, raw, date_time):
        super().__init__(raw.decode("latin-1"), date_time)
        self.raw = raw

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits


def archive(entries):
    """entries: (name, data, unix mode or None); names as bytes are raw (CP932)."""
    out = io.BytesIO()
    with warnings.catch_warnings(), zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        warnings.simplefilter("ignore")  # duplicate names are one of the cases
        for name, data, mode in entries:
            raw = isinstance(name, bytes)
            info = RawInfo(name, FIXED) if raw else zipfile.ZipInfo(name, FIXED)
            info.compress_type = zipfile.ZIP_DEFLATED if data else zipfile.ZIP_STORED
            if mode is not None:
                info.create_system = 3
                info.external_attr = mode << 16
            z.writestr(info, data)
    data = out.getvalue()
    return data


put("unzip", "package", archive([("pkg/", b"", 0o40755), ("pkg/info.txt", SECTION, 0o100644),
                                 ("pkg/pkg.zsf", cp932_crlf(SCENE), 0o100644)]))
put("unzip", "two_folders", archive([("pkg/a.txt", b"a", None), ("other/b.txt", b"b", None)]))
put("unzip", "dotdot", archive([("pkg/a.txt", b"a", None), ("../keep.txt", b"evil", None)]))
put("unzip", "dotdot_inside", archive([("pkg/../../../keep.txt", b"evil", None)]))
put("unzip", "backslash_dotdot", archive([("pkg\\..\\..\\keep.txt", b"evil", None)]))
put("unzip", "absolute", archive([("/tmp/zvnfuzz-absolute.txt", b"evil", None)]))
put("unzip", "drive", archive([("C:/evil.txt", b"evil", None)]))
put("unzip", "symlink", archive([("pkg/link", b"../../..", 0o120777), ("pkg/link/keep.txt", b"evil", None)]))
put("unzip", "cp932_name", archive([("pkg/".encode(), b"", None), ("pkg/星図.txt".encode("cp932"), b"x", None)]))
put("unzip", "file_then_folder", archive([("pkg/a", b"file", None), ("pkg/a/b", b"below", None)]))
put("unzip", "duplicate_names", archive([("pkg/a.txt", b"one", None), ("pkg/a.txt", b"two", None)]))
put("unzip", "deep", archive([("pkg/" + "d/" * 60 + "x.txt", b"deep", None)]))
put("unzip", "empty", archive([]))
# a damaged entry: its data changed after the CRC was written
good = archive([("pkg/a.txt", b"hello hello hello", 0o100644), ("pkg/b.txt", b"world", 0o100644)])
put("unzip", "bad_crc", good.replace(b"world", b"wurld", 1))
# absurd sizes: the central directory claims 4 GiB - 1 for each entry
sized = bytearray(archive([("pkg/a.bin", b"\0" * 64, None), ("pkg/b.bin", b"\0" * 64, None)]))
at = 0
while True:
    at = sized.find(b"PK\x01\x02", at)
    if at < 0:
        break
    struct.pack_into("<I", sized, at + 24, 0xFFFFFFFF)
    at += 4
put("unzip", "absurd_sizes", bytes(sized))
put("unzip", "not_a_zip", b"PK\x05\x06" + b"\0" * 18)

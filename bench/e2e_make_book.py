"""Synthetic book for the end-to-end benchmark: an index page and N chapter pages in UTF-8 with
the site's markers, plus what the downloaded book file must hold, so a broken run is caught.

Used by bench/e2e; `python3 bench/e2e_make_book.py DIR N` writes a book on its own for a look.
"""

import hashlib
import os
import random
import re
import sys

BOOK_TITLE = "翠竹清风录"
# The site puts a header piece and 12 "latest chapter" entries before the book; with the text
# before the first entry they make the 13 pieces the job passes over.
LATEST_ENTRIES = 12

BODY_FRONT = "<script>readx();</script>\r\n"
BODY_BACK = "<script>chaptererror();</script>\r\n"
INDENT = "&nbsp;" * 4
LINE_BREAK = "<br/><br/>"

# Common characters only: all of them lie in code page 936 and map the same way in every GBK
# table, so the book file's bytes can be predicted exactly.
HANZI = (
    "的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可下"
    "而过天去能对小多然于心学么之都好看起发当没成只如事把还用第样道想作种开美总从无情己面最女但"
    "现前些所同日手又行意动方期它头经长儿回位分爱老因很给名法间斯知世什两次使身者被高已亲其进此"
    "话常与活正感见明问力理尔点文几定本公特做外孩相西果走将月十实向声车全信重三机工物气每并别真"
    "打太新比才便夫再书部水像眼等体却加电主界门利海受听表德少克代员许先口由死安写性马光白或住"
    "难望教命花结乐色更拉东神记处让母父应直字场平报友关放至张认接告入笑内英军候民岁往何度山觉路"
    "带万男边风解叫任金快原吃妈变通师立象数四失满战远格士音轻目条呢病始达深完今提求清王化空业思"
    "切怎非找片罗钱吗语元喜曾离飞科言干流欢约各即指合反题必该论交终林请医晚制球决传画保读运"
    "及则房早院量苦火布品近坐产答星精视五连司巴奇管类未朋且婚台夜青北队久乎越观落尽形影红爸百令"
)
PUNCTUATION = "，，，。。！？、："
NAME_CHARS = "风云山河剑影龙凤春秋明月星辰天地玄黄宇宙洪荒"


def _sentence(rng: random.Random) -> str:
    words = "".join(rng.choices(HANZI, k=rng.randint(6, 18)))
    return words + rng.choice(PUNCTUATION)


def chapter_title(number: int, rng: random.Random) -> str:
    return f"第{number}章 " + "".join(rng.choices(NAME_CHARS, k=rng.randint(2, 6)))


def chapter_body(rng: random.Random, target_chars: int) -> str:
    """About target_chars characters of text in paragraphs, with the page's indents and breaks."""
    paragraphs = []
    size = 0
    while size < target_chars:
        text = "".join(_sentence(rng) for _ in range(rng.randint(2, 6)))
        if rng.random() < 0.2:
            text = "“" + text[:-1] + "。”"
        paragraphs.append(INDENT + text)
        size += len(text)
    return LINE_BREAK.join(paragraphs) + LINE_BREAK


def chapter_page(title: str, body: str, number: int, count: int) -> str:
    previous = f"/book/{number - 1:05d}.html" if number > 1 else "/book/index.html"
    following = f"/book/{number + 1:05d}.html" if number < count else "/book/index.html"
    return (
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
        '<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />\r\n'
        f"<title>{title}_{BOOK_TITLE}</title>\r\n"
        '<link rel="stylesheet" type="text/css" href="/css/style.css" />\r\n'
        '<script type="text/javascript" src="/js/common.js"></script>\r\n'
        "</head>\r\n<body>\r\n"
        '<div id="wrapper">\r\n<div class="content_read">\r\n<div class="box_con">\r\n'
        f'<div class="con_top"><a href="/">首页</a> &gt; <a href="/book/index.html">{BOOK_TITLE}'
        "</a></div>\r\n"
        f'<div class="bookname">\r\n<h1>{title}</h1>\r\n'
        f'<div class="bottem1"><a href="{previous}">上一章</a> &larr; '
        f'<a href="/book/index.html">章节目录</a> &rarr; <a href="{following}">下一章</a></div>\r\n'
        "</div>\r\n"
        f'<div id="content">{BODY_FRONT}{body}{BODY_BACK}</div>\r\n'
        f'<div class="bottem2"><a href="{previous}">上一章</a> '
        f'<a href="{following}">下一章</a></div>\r\n'
        "</div>\r\n</div>\r\n</div>\r\n"
        '<script type="text/javascript">tongji();</script>\r\n'
        "</body>\r\n</html>\r\n"
    )


def _entry(number: int, title: str) -> str:
    return f'<dd> <a href="/book/{number:05d}.html">{title}</a></dd>\r\n'


def index_page(titles: list) -> str:
    count = len(titles)
    latest = [
        _entry(number, titles[number - 1])
        for number in range(max(1, count - LATEST_ENTRIES + 1), count + 1)
    ]
    # Small books still get all 12 latest entries, so the book always starts at piece 14.
    while len(latest) < LATEST_ENTRIES:
        latest.insert(0, _entry(1, titles[0]))
    return (
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
        '<meta http-equiv="Content-Type" content="text/html; charset=utf-8" />\r\n'
        f"<title>{BOOK_TITLE}最新章节列表</title>\r\n"
        "</head>\r\n<body>\r\n"
        f'<div id="maininfo">\r\n<div id="info">\r\n<h1>{BOOK_TITLE}</h1>\r\n'
        "<p>作&nbsp;&nbsp;&nbsp;&nbsp;者：无名氏</p>\r\n</div>\r\n</div>\r\n"
        '<div class="box_con">\r\n<div id="list">\r\n<dl>\r\n'
        f"<dt>《{BOOK_TITLE}》最新章节</dt>\r\n"
        + "".join(latest)
        + f"<dt>《{BOOK_TITLE}》正文</dt>\r\n"
        + "".join(_entry(number, title) for number, title in enumerate(titles, start=1))
        + "</dl>\r\n</div>\r\n</div>\r\n</body>\r\n</html>\r\n"
    )


def expected_record(title: str, body: str) -> bytes:
    """One record of the book file: what the job writes for a chapter page."""
    text = BODY_FRONT[-1:] + body  # the body starts right after the front marker's "\r"
    text = re.sub("<br/>", "\r\n", text, flags=re.IGNORECASE)
    text = re.sub("&nbsp;", " ", text, flags=re.IGNORECASE)
    return (title + "\r\n" + text).encode("gbk")


class Book:
    """Where a written book lies and what its downloaded book file must be."""

    def __init__(self, root: str, chapters: int, size_bytes: int, digest: str, page_bytes: int):
        self.root = root
        self.chapters = chapters
        self.size_bytes = size_bytes
        self.digest = digest
        self.page_bytes = page_bytes
        self.index_path = "/book/index.html"

    def chapter_paths(self):
        return [f"/book/{number:05d}.html" for number in range(1, self.chapters + 1)]


def make_book(root: str, chapters: int, page_kb: float = 11.0, seed: int = 936) -> Book:
    """Writes root/book/index.html and root/book/NNNNN.html; chapter pages are about page_kb KB."""
    book_dir = os.path.join(root, "book")
    os.makedirs(book_dir, exist_ok=True)
    # UTF-8 Chinese takes 3 bytes a character, the indents and breaks add about a fifth; the
    # page's HTML around the body is about 1 KB.
    body_chars = max(100, int((page_kb * 1024 - 1100) / 3.65))
    digest = hashlib.sha256()
    size = 0
    page_bytes = 0
    titles = []
    for number in range(1, chapters + 1):
        rng = random.Random(seed * 1_000_003 + number)
        title = chapter_title(number, rng)
        body = chapter_body(rng, body_chars)
        page = chapter_page(title, body, number, chapters).encode("utf-8")
        with open(os.path.join(book_dir, f"{number:05d}.html"), "wb") as out:
            out.write(page)
        page_bytes += len(page)
        record = expected_record(title, body)
        digest.update(record)
        size += len(record)
        titles.append(title)
    with open(os.path.join(book_dir, "index.html"), "wb") as out:
        out.write(index_page(titles).encode("utf-8"))
    return Book(root, chapters, size, digest.hexdigest(), page_bytes)


# "第" digits "章" in code page 936: one per record title (the bodies hold no ASCII digits).
_TITLE_GBK = re.compile(rb"\xb5\xda[0-9]+\xd5\xc2")


def check_book_file(path: str, book: Book) -> tuple:
    """(ok, chapters found, size) of a downloaded book file against the expected one."""
    try:
        with open(path, "rb") as src:
            data = src.read()
    except OSError:
        return False, 0, 0
    found = len(_TITLE_GBK.findall(data))
    ok = len(data) == book.size_bytes and hashlib.sha256(data).hexdigest() == book.digest
    return ok, found, len(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: e2e_make_book.py DIR CHAPTERS")
    made = make_book(sys.argv[1], int(sys.argv[2]))
    print(f"{made.chapters} chapters, {made.page_bytes} page bytes, "
          f"book file {made.size_bytes} bytes, sha256 {made.digest}")

#!/usr/bin/env python3
"""The yardstick of the program list benchmark: Python's configparser reads a
program list (CP932, CR LF) and every key of every program in it.

    program_list_configparser.py LIST

Prints the number of programs and values read."""
import configparser
import sys


def main() -> int:
    parser = configparser.RawConfigParser(strict=False)
    with open(sys.argv[1], encoding="cp932", newline=None) as f:
        parser.read_file(f)
    programs = int(parser.get("Programs", "Num"))
    values = 0
    for n in range(1, programs + 1):
        section = parser["Prog%d" % n]
        for key in section:
            values += len(section[key]) >= 0
    print(programs, values)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The name table generator on a few GeoNames places and AS rows, with the real Debian
region sources and the committed overrides and carrier list."""
import os
import subprocess
import sys
import tempfile
import unittest

GENERATOR = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                         "..", "..", "..", "scripts", "names", "make-name-tables")


def place(name, alternates, latitude, longitude, country):
    fields = ["1", name, name, ",".join(alternates), str(latitude), str(longitude), "P", "PPL",
              country] + [""] * 10
    return "\t".join(fields) + "\n"


PLACES = [
    place("Guangzhou", ["Canton", "广州", "广州市", "広州", "広州市", "廣州", "廣州市"],
          23.11667, 113.25, "CN"),
    place("Taipei", ["Taipei City", "台北", "台北市", "臺北市"], 25.04776, 121.53185, "TW"),
    place("Sydney", ["悉尼", "雪梨"], -33.86785, 151.20732, "AU"),
    place("Mountain View", ["山景城", "芒廷維尤"], 37.38605, -122.08385, "US"),
    place("Tsukuba", ["つくば市", "筑波"], 36.2, 140.1, "JP"),
    place("Hiroshima", ["広島", "広島市"], 34.39627, 132.45937, "JP"),
    place("Aachen", ["Aix-la-Chapelle"], 50.77664, 6.08342, "DE"),
    place("Dubai", ["杜拜", "迪拜"], 25.07725, 55.30927, "AE"),
]

AS_ROWS = ("16777216,16777471,4134,Chinanet\n"
           "16777472,16777727,4837,Someone Else Entirely\n"
           '16777728,16777983,45090,"Shenzhen Tencent Computer Systems Company Limited"\n')


def read_table(path):
    with open(path, encoding="utf-8") as file:
        return [tuple(line.rstrip("\n").split("\t")) for line in file]


class MakeNameTablesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cities = os.path.join(cls.folder.name, "cities500.txt")
        with open(cities, "w", encoding="utf-8") as file:
            file.writelines(PLACES)
        with open(os.path.join(cls.folder.name, "asn-ipv4-num.csv"), "w",
                  encoding="utf-8") as file:
            file.write(AS_ROWS)
        cls.run_result = subprocess.run([sys.executable, GENERATOR, cities, cls.folder.name],
                                        capture_output=True, encoding="utf-8")
        cls.regions = {(row[0], row[1]): row[2] for row in
                       read_table(os.path.join(cls.folder.name, "region-names.tsv"))}
        cls.cities = read_table(os.path.join(cls.folder.name, "city-names.tsv"))
        cls.carriers = read_table(os.path.join(cls.folder.name, "carrier-names.tsv"))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_succeeds(self):
        self.assertEqual(self.run_result.returncode, 0, self.run_result.stderr)

    def test_regions(self):
        for key, chinese in [
                (("CN", "guangdong"), "广东省"),        # ISO name without its kind word
                (("CN", "guangdongsheng"), "广东省"),   # ISO name as it is
                (("US", "california"), "加利福尼亚州"),
                (("DE", "badenwurttemberg"), "巴登－符腾堡"),  # folded spelling
                (("DE", "northrhinewestphalia"), "北莱茵-威斯特法伦"),  # CLDR English
                (("SA", "riyadhregion"), "利雅得省"),    # with the kind word added
                (("HK", "kowloon"), "九龙"),             # an override
                (("RU", "moscow"), "莫斯科"),            # an override over a shared spelling
                (("TW", "taiwan"), "")]:                 # marked not to show
            self.assertEqual(self.regions.get(key), chinese, key)

    def city_names(self, country, key):
        return {row[4] for row in self.cities if row[0] == country and row[1] == key}

    def test_cities(self):
        self.assertEqual(self.city_names("CN", "guangzhou"), {"广州市"})
        self.assertEqual(self.city_names("CN", "canton"), {"广州市"})
        self.assertEqual(self.city_names("TW", "taipei"), {"台北市"})
        self.assertEqual(self.city_names("TW", "taipeicity"), {"台北市"})
        self.assertEqual(self.city_names("AU", "sydney"), {"悉尼"})
        self.assertEqual(self.city_names("US", "mountainview"), {"山景城"})
        self.assertEqual(self.city_names("JP", "tsukuba"), {"筑波"})
        self.assertEqual(self.city_names("AE", "dubai"), {"迪拜"})  # as the region is named

    def test_cities_without_a_chinese_name_are_left_out(self):
        self.assertEqual(self.city_names("JP", "hiroshima"), set())  # Japanese forms only
        self.assertEqual(self.city_names("DE", "aachen"), set())  # no Han name at all

    def test_carriers_checked_against_the_as_table(self):
        self.assertIn(("4134", "中国电信"), self.carriers)
        self.assertIn(("45090", "腾讯云"), self.carriers)
        self.assertNotIn("4837", [row[0] for row in self.carriers])
        self.assertIn("AS4837 is no longer", self.run_result.stderr)


if __name__ == "__main__":
    unittest.main()

"""Values another program or a damaged profile left: the program starts, draws,
ends, writes back values of its own kind and size, and leaves others alone."""

import struct

from harness import MeasurixTestCase

NAN = struct.pack("<Q", 0x7FF8000000000123)
DAMAGED = {
    "x0": 0x7FFFFFFF, "y0": 0xB9DE8117,  # a start point far off the desktop
    "alpha": bytes(8), "refnr": "3", "refangle": NAN, "linethick": bytes(9), "font": bytes(4000),
    "rlimit": 0, "fade": 0x80000000, "key0code": b"\x90\x00\x00\x00", "version": bytes(4),
}
KINDS = {"refangle": 8, "linethick": 8, "font": 96}  # binary values and their sizes; the rest are numbers


class StoredValuesTest(MeasurixTestCase):
    def test_damaged_values_are_survived_and_written_back_well_formed(self):
        program = self.start("-hide", seed=dict(DAMAGED, toggle=1, invert=1, **{"zz other": b"\x00\xffkeep"}))
        self.wait_pixels((620, 380, 661, 421), lambda p: sum(abs(a - b) for a, b in zip(p, (0x24, 0x6F, 0x97))) > 40,
                         "the ruler drawn near the pointer", 6)
        for x, y in ((660, 380), (10, 790), (1270, 5)):
            self.input.mousemove(x, y)
        self.end(program)
        stored = self.stored()
        self.assertEqual(stored["zz other"], b"\x00\xffkeep")
        self.assertEqual([n for n in DAMAGED if not (len(stored[n]) == KINDS[n] if n in KINDS
                                                     else isinstance(stored[n], int))], [], stored)
        self.assertEqual(stored["version"], 36)

"""F1 snaps the ruler's end, with Shift its start, to the edges of what the
screen shows, and F2 shows the space around the pointer: a 200x100 box
measures 200 from edge to edge and shows 200 x 100 inside, although the
ruler's own line and label lie on the pointer's row."""

import re

from harness import MeasurixTestCase


class EdgesTest(MeasurixTestCase):
    def copied(self, pattern):
        """The copy key's text once it matches pattern."""
        def copy():
            self.input.key("Pause")
            text = self.clipboard()
            return text if text and re.match(pattern, text) else None
        return self.wait_until(copy, 10, "a copy matching %r" % pattern, interval=0.3)

    def test_snap_and_spacing_see_the_box_and_not_the_ruler(self):
        self.pattern(400, 300, 200, 100, "2878c8")
        program = self.start("-hide", seed={"version": 36, "x0": 405, "y0": 350, "refnr": 0})
        self.wait_ruler(program, True)
        # The line runs along the pointer's row from the start point, the
        # label beside the pointer: a screen read that saw them would find
        # edges at the line instead of the box's.
        self.input.mousemove(590, 350)
        self.copied(r"185x0 185\.0 ")

        self.input.keydown("F1")
        self.copied(r"195x0 195\.0 ")  # the end on the box's right edge, 600
        self.input.keydown("shift")
        self.wait_stored("x0", 400)  # the start on its left edge (the copy key wants no Shift)
        self.input.keyup("shift")
        self.copied(r"200x0 200\.0 ")
        self.input.keyup("F1")
        self.copied(r"190x0 190\.0 ")  # the free pointer again, the start stays on the edge

        self.input.mousemove(460, 330)  # the line now ends on the pointer's pixel
        self.input.keydown("F2")
        self.assertEqual(self.copied(r"\d+ x \d+$"), "200 x 100")
        shot = self.screenshot()
        black = (0, 0, 0)
        self.assertEqual([shot.pixel(x, 330) for x in (400, 450, 599)], [black] * 3, "the cross's row")
        self.assertEqual([shot.pixel(460, y) for y in (300, 380, 399)], [black] * 3, "the cross's column")
        self.assertEqual([shot.pixel(x, 327) for x in (400, 599)], [black] * 2, "the end marks")
        self.assertEqual(shot.pixel(430, 340), (0x28, 0x78, 0xC8), "no measured line meanwhile")
        self.input.keyup("F2")
        self.copied(r"60x20 ")
        self.end(program)

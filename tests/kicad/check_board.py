#!/usr/bin/python3
"""Loads a KiCad board written by `pcb9-host import FILE --kicad BOARD` with
KiCad's own Python module and checks it against the JSON dump of the same
import: object counts by kind, net names and every pad's net, footprint
references, sides and positions, track and arc ends, widths and nets, via
places, sizes and drills, and zone outlines and nets.

usage: check_board.py BOARD.kicad_pcb DUMP.json
Exit status 0 when every check holds, 1 when one fails, 2 when the board or
the dump cannot be read (also when pcbnew is missing). A net without a name,
or with one that another net has, gets a new name in KiCad; its objects'
nets are not compared by name, but every net of the dump must be a KiCad net
of its own: the pads of one net on one KiCad net, of different nets on
different ones. Texts and names are compared with their control characters
as '?', which is how they are written; a footprint's name is its pattern with
'_' for ':', and never a library link."""
import json
import math
import sys
from collections import Counter

try:
    import pcbnew
except ImportError as e:
    print(f"check_board: KiCad's pcbnew module is missing ({e}); install Debian's kicad package")
    sys.exit(2)

COPPER_PREFIXES = ("TopLayer", "MidLayer", "BottomLayer", "InternalPlane")


def nm(units):
    """Host units (10000 to the mil) in nanometres, half away from zero."""
    sign = -1 if units < 0 else 1
    return sign * ((abs(units) * 254 + 50) // 100)


# Where the host's origin lies in KiCad: the board's drill and placement
# origin, which the writer sets there.
ORIGIN = (0, 0)


def point(x, y):
    return (ORIGIN[0] + nm(x), ORIGIN[1] - nm(y))


def is_copper(layer):
    return layer.startswith(COPPER_PREFIXES)


def sanitize(text):
    """A text as the writer writes it: control characters as '?'."""
    return "".join("?" if ord(ch) < 32 or ord(ch) == 127 else ch for ch in text)


class Checker:
    def __init__(self):
        self.passed = 0
        self.failures = []
        # The KiCad net names each dump net's pads are on, by net handle.
        self.identity = {}

    def check(self, what, ok, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failures.append(f"{what}: {detail}")

    def same(self, what, expected, actual):
        self.check(what, expected == actual, f"expected {expected!r}, KiCad has {actual!r}")


class Dump:
    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            dump = json.load(f)
        self.objects = {o["handle"]: o for o in dump["objects"]}
        self.board = dump["board"]

    def live(self, handle):
        o = self.objects.get(handle)
        return o if o and not o["deleted"] else None

    def on_board(self, kind):
        return [o for o in self.objects.values()
                if o["kind"] == kind and not o["deleted"] and o.get("Container", self.container(o)) == self.board]

    def container(self, o):
        return self._containers().get(o["handle"], 0)

    def _containers(self):
        if not hasattr(self, "_owner"):
            self._owner = {}
            for o in self.objects.values():
                if o["kind"] in ("Board", "Component") and not o["deleted"]:
                    for m in o.get("members", []):
                        self._owner.setdefault(m, o["handle"])
        return self._owner

    def component_members(self, component, kind):
        return [self.objects[m] for m in component.get("members", [])
                if m in self.objects and self.objects[m]["kind"] == kind and not self.objects[m]["deleted"]]

    def net_name(self, handle):
        """The net's name, "" for none, None for a net KiCad must rename
        (no name, or one that another net has)."""
        net = self.live(handle)
        if not net:
            return ""
        name = sanitize(net["Name"])
        return name if name in self.plain_names() else None

    def plain_names(self):
        """Net names (as written) that only one net has."""
        if not hasattr(self, "_plain"):
            names = Counter(sanitize(n["Name"]) for n in self.on_board("Net"))
            self._plain = {name for name, count in names.items() if name and count == 1}
        return self._plain

    def owner(self, o, field, kind):
        owner = self.live(o.get(field, 0))
        return owner if owner and owner["kind"] == kind else None

    def primitive_net(self, o):
        polygon = self.owner(o, "OwnerPolygon", "Polygon")
        return self.net_name(polygon["Net"] if polygon else o.get("Net", 0))


def board_items(board):
    items = {"segment": [], "arc": [], "via": []}
    for t in board.GetTracks():
        cls = t.GetClass()
        if cls == "PCB_VIA":
            items["via"].append(t)
        elif cls == "PCB_ARC":
            items["arc"].append(t)
        else:
            items["segment"].append(t)
    return items


def xy(p):
    return (p.x, p.y)


def check_nets(c, dump, board):
    actual = {str(n) for n in board.GetNetsByName().keys() if str(n) != ""}
    c.same("net count", len(dump.on_board("Net")), len(actual))
    missing = sorted(dump.plain_names() - actual)
    c.check("net names", not missing, f"KiCad lacks {missing}")


def footprint_of(dump, component):
    text = dump.live(component.get("NameText", 0))
    return sanitize(text["Text"]) if text else ""


def check_footprints(c, dump, board):
    footprints = {}
    for f in board.GetFootprints():
        footprints.setdefault(f.GetReference(), []).append(f)
    components = dump.on_board("Component")
    free_pads = dump.on_board("Pad")
    c.same("footprint count", len(components) + len(free_pads), len(board.GetFootprints()))
    expected_pads = 0
    for comp in components:
        ref = footprint_of(dump, comp)
        found = footprints.get(ref, [])
        c.check(f"footprint {ref}", len(found) == 1, f"{len(found)} footprints with that reference")
        if len(found) != 1:
            continue
        f = found[0]
        c.same(f"footprint {ref} position", point(comp["X"], comp["Y"]), xy(f.GetPosition()))
        c.check(f"footprint {ref} rotation",
                abs((f.GetOrientationDegrees() - comp["Rotation"]) % 360) < 1e-6
                or abs((f.GetOrientationDegrees() - comp["Rotation"]) % 360 - 360) < 1e-6,
                f"expected {comp['Rotation']}, KiCad has {f.GetOrientationDegrees()}")
        side = "B.Cu" if comp["Layer"] == "BottomLayer" else "F.Cu"
        c.same(f"footprint {ref} side", side, f.GetLayerName())
        fpid = f.GetFPID()
        c.same(f"footprint {ref} name (no library)", ("", sanitize(comp.get("Pattern", "")).replace(":", "_")),
               (str(fpid.GetLibNickname()), str(fpid.GetLibItemName())))
        comment = dump.live(comp.get("CommentText", 0))
        if comment:
            c.same(f"footprint {ref} value", sanitize(comment["Text"]), f.GetValue())
        pads = dump.component_members(comp, "Pad")
        expected_pads += len(pads)
        check_pads(c, dump, ref, pads, f)
    for pad in free_pads:
        ref = "Free-" + sanitize(pad["Name"])
        found = footprints.get(ref, [])
        c.check(f"free pad footprint {ref}", len(found) == 1, f"{len(found)} footprints with that reference")
        if len(found) == 1:
            check_pads(c, dump, ref, [pad], found[0])
    expected_pads += len(free_pads)
    c.same("pad count", expected_pads, sum(len(f.Pads()) for f in board.GetFootprints()))


def check_pads(c, dump, ref, pads, footprint):
    kicad = {}
    for p in footprint.Pads():
        kicad.setdefault(xy(p.GetPosition()), []).append(p)
    c.same(f"footprint {ref} pad count", len(pads), len(footprint.Pads()))
    def same_net(expected, actual):
        return expected is None or expected == actual
    for pad in pads:
        at = point(pad["X"], pad["Y"])
        # Pads of a turned footprint sit where KiCad turns them back: within
        # a nanometre or two of the exact place.
        candidates = [p for q, ps in kicad.items() for p in ps
                      if abs(q[0] - at[0]) <= 2 and abs(q[1] - at[1]) <= 2]
        named = [p for p in candidates if p.GetName() in (sanitize(pad["Name"]), "")]
        c.check(f"pad {ref}-{pad['Name']} at {at}", len(named) == 1,
                f"{len(named)} KiCad pads there")
        if len(named) != 1:
            continue
        p = named[0]
        c.identity.setdefault(pad.get("Net", 0), set()).add(p.GetNetname())
        expected = dump.net_name(pad.get("Net", 0))
        c.check(f"pad {ref}-{pad['Name']} net", same_net(expected, p.GetNetname()),
                f"expected {expected!r}, KiCad has {p.GetNetname()!r}")
        if pad.get("HoleSize", 0) > 0:
            c.same(f"pad {ref}-{pad['Name']} drill", nm(pad["HoleSize"]), p.GetDrillSize().x)


def copper_tracks(dump):
    tracks, arcs = [], []
    for kind, out in (("Track", tracks), ("Arc", arcs)):
        for o in dump.on_board(kind):
            if is_copper(o["Layer"]) and not dump.owner(o, "OwnerDimension", "Dimension"):
                out.append(o)
    return tracks, arcs


def check_tracks(c, dump, items):
    tracks, arcs = copper_tracks(dump)
    c.same("copper track count", len(tracks), len(items["segment"]))
    kicad = Counter()
    for t in items["segment"]:
        ends = tuple(sorted((xy(t.GetStart()), xy(t.GetEnd()))))
        kicad[(ends, t.GetWidth(), t.GetNetname())] += 1
    for t in tracks:
        ends = tuple(sorted((point(t["X"], t["Y"]), point(t["X2"], t["Y2"]))))
        key = (ends, nm(t["Width"]), dump.primitive_net(t))
        keys = [k for k in kicad if kicad[k] > 0 and k[:2] == key[:2] and key[2] in (None, k[2])]
        c.check(f"track {t['handle']} {key}", bool(keys), "no KiCad segment with these ends, width and net")
        if keys:
            kicad[keys[0]] -= 1
    full = sum(1 for a in arcs if (a["EndAngle"] - a["StartAngle"]) % 360 == 0)
    c.same("copper arc count (a circle as two halves)", len(arcs) + full, len(items["arc"]))
    by_centre = Counter()
    for a in items["arc"]:
        by_centre[(xy(a.GetCenter()), a.GetWidth(), a.GetNetname())] += 1
    for a in arcs:
        centre = point(a["X"], a["Y"])
        matches = [k for k in by_centre
                   if abs(k[0][0] - centre[0]) <= 2 and abs(k[0][1] - centre[1]) <= 2
                   and k[1] == nm(a["Width"]) and dump.primitive_net(a) in (None, k[2])]
        c.check(f"arc {a['handle']}", bool(matches), "no KiCad arc with this centre, width and net")


def check_vias(c, dump, items):
    vias = [o for o in dump.objects.values() if o["kind"] == "Via" and not o["deleted"]
            and dump.container(o) != 0]
    c.same("via count", len(vias), len(items["via"]))
    kicad = Counter((xy(v.GetPosition()), v.GetWidth(), v.GetDrillValue(), v.GetNetname())
                    for v in items["via"])
    for v in vias:
        key = (point(v["X"], v["Y"]), nm(v["Size"]), nm(v["HoleSize"]), dump.net_name(v.get("Net", 0)))
        keys = [k for k in kicad if kicad[k] > 0 and k[:3] == key[:3] and key[3] in (None, k[3])]
        c.check(f"via {v['handle']} {key}", bool(keys), "no KiCad via with this place, size, drill and net")
        if keys:
            kicad[keys[0]] -= 1


def outline(zone):
    poly = zone.Outline()
    chain = poly.Outline(0)
    return [(chain.CPoint(i).x, chain.CPoint(i).y) for i in range(chain.PointCount())]


def check_zones(c, dump, board):
    zones = [board.GetArea(i) for i in range(board.GetAreaCount())]
    shapes = [o for kind in ("Polygon", "SplitPlane") for o in dump.on_board(kind)
              if o.get("SegmentCount", -1) >= 2]
    fills = [f for f in dump.on_board("Fill") if is_copper(f["Layer"])]
    planes = [l for l in dump.objects[dump.board]["Layers"]
              if l.get("NetName") not in (None, "", "(No Net)")
              and l["NetName"] in {n["Name"] for n in dump.on_board("Net")}]
    c.same("zone count (polygons, split planes, copper fills, planes)",
           len(shapes) + len(fills) + len(planes), len(zones))
    outlines = [(outline(z), z.GetNetname(), z.IsOnCopperLayer()) for z in zones]
    for shape in shapes:
        vertices = [point(s["SegX"], s["SegY"]) for s in shape["Segments"]]
        net = dump.net_name(shape.get("Net", 0))
        found = False
        for points, zone_net, _ in outlines:
            # KiCad may start the outline elsewhere; the host's vertices must
            # follow each other in it, arcs giving extra points between.
            if net not in (None, zone_net) or vertices[0] not in points:
                continue
            start = points.index(vertices[0])
            turned = points[start:] + points[:start]
            positions = [turned.index(v) if v in turned else -1 for v in vertices]
            found = found or (-1 not in positions and positions == sorted(positions))
        c.check(f"{shape['kind']} {shape['handle']} outline and net {net}", found,
                "no zone of this net runs through its vertices in order")
    for plane in planes:
        # The plane names its net; of several nets of that name, the last.
        net = [n for n in dump.on_board("Net") if n["Name"] == plane["NetName"]][-1]
        known = c.identity.get(net["handle"], set())
        expected = next(iter(known)) if len(known) == 1 else dump.net_name(net["handle"])
        c.check(f"plane {plane['Name']} zone", expected is None or any(n == expected for _, n, _ in outlines),
                f"no zone of net {expected!r} (net {net['handle']})")


def check_texts(c, dump, board):
    texts = [t for t in dump.on_board("Text") if not dump.owner(t, "OwnerDimension", "Dimension")]
    kicad = Counter((xy(d.GetPosition()), d.GetText()) for d in board.GetDrawings() if d.GetClass() == "PTEXT")
    c.same("free text count", len(texts), sum(kicad.values()))
    for t in texts:
        key = (point(t["X"], t["Y"]), sanitize(t["Text"]))
        c.check(f"text {t['handle']} {key}", kicad[key] > 0, "no KiCad text with this place and string")
        kicad[key] -= 1


def check_identity(c, dump):
    """Every dump net whose pads KiCad has is one KiCad net, a net of its
    own; pads without a net have none."""
    owners = {}
    for handle, names in sorted(c.identity.items()):
        if not dump.live(handle):
            c.same(f"pads without a net", {""}, names)
            continue
        c.check(f"pads of net {handle} on one KiCad net", len(names) == 1 and "" not in names,
                f"KiCad has them on {sorted(names)!r}")
        for name in names:
            owners.setdefault(name, set()).add(handle)
    for name, handles in sorted(owners.items()):
        c.check(f"KiCad net {name!r} holds one net", len(handles) == 1, f"it joins nets {sorted(handles)}")


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    try:
        dump = Dump(argv[2])
        # The plug-in alone: LoadBoard would also let connectivity hand
        # tracks the nets of the pads they touch.
        board = pcbnew.IO_MGR.Load(pcbnew.IO_MGR.KICAD_SEXP, argv[1])
    except Exception as e:  # the board or the dump cannot be read
        print(f"check_board: cannot read: {e}")
        return 2
    global ORIGIN
    aux = board.GetDesignSettings().GetAuxOrigin()
    ORIGIN = (aux.x, aux.y)
    c = Checker()
    items = board_items(board)
    check_nets(c, dump, board)
    check_footprints(c, dump, board)
    check_tracks(c, dump, items)
    check_vias(c, dump, items)
    check_zones(c, dump, board)
    check_texts(c, dump, board)
    check_identity(c, dump)
    c.same("dimension count", len(dump.on_board("Dimension")),
           sum(1 for d in board.GetDrawings() if d.GetClass().startswith("PCB_DIM")))
    for failure in c.failures:
        print("FAILED", failure)
    print(f"{c.passed} passed, {len(c.failures)} failed")
    return 1 if c.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

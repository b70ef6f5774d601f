# Plots a KiCad board with KiCad's plot controller, one SVG per layer, and
# stacks them in one SVG with a colour per layer (bottom first).
import re, sys, pcbnew
board = pcbnew.LoadBoard(sys.argv[1])
out = sys.argv[2]
pcbnew.ZONE_FILLER(board).Fill(board.Zones())
pc = pcbnew.PLOT_CONTROLLER(board)
po = pc.GetPlotOptions()
po.SetOutputDirectory(out)
po.SetPlotFrameRef(False)
po.SetMirror(False)
po.SetDrillMarksType(pcbnew.PCB_PLOT_PARAMS.FULL_DRILL_SHAPE)
po.SetScale(1)
po.SetAutoScale(False)
layers = [("In1.Cu", "#9fc5a8"), ("B.Cu", "#3a5fcd"), ("F.Cu", "#c83434"), ("B.SilkS", "#b040b0"),
          ("F.SilkS", "#202020"), ("User.1", "#707070"), ("Edge.Cuts", "#c09000")]
body = []
header = None
for name, colour in layers:
    pc.OpenPlotfile(name.replace(".", "_"), pcbnew.PLOT_FORMAT_SVG, name)
    pc.SetLayer(board.GetLayerID(name))
    pc.PlotLayer()
    pc.ClosePlot()
    svg = open(pc.GetPlotFileName()).read()
    svg = re.sub(r'<text[^>]*>.*?</text>', '', svg, flags=re.S)
    start = svg.index('<g')
    header = header or svg[:start]
    opacity = ' opacity="0.35"' if name.startswith("In") else ""
    body.append(f'<g id="{name}"{opacity}>' + svg[start:svg.rindex('</svg>')].replace('#000000', colour) + '</g>')
x, y, w, h = (float(v) * 1e6 for v in sys.argv[3:7])
header = re.sub(r'width="[^"]*" height="[^"]*" viewBox="[^"]*"',
                f'width="{w/1e6}mm" height="{h/1e6}mm" viewBox="{x} {y} {w} {h}"', header, count=1)
open(f"{out}/stacked.svg", "w").write(header + '<rect x="%f" y="%f" width="%f" height="%f" fill="white"/>' % (x, y, w, h) + "".join(body) + "</svg>\n")

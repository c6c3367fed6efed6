#!/usr/bin/env python3
"""Draws a match written by `brinewake-sim --plot`: the boats' tracks seen from above, with hits,
kills and pickups marked.

    python3 plot_match.py MATCH.plot.json OUT.png|OUT.svg
"""
import json
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.lines import Line2D  # noqa: E402
from matplotlib.patches import Circle, Rectangle  # noqa: E402

PICKUP_MARKERS = {0: ("^", "rockets"), 100: ("P", "health"), 101: ("D", "speed")}


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as source:
        match = json.load(source)

    colors = plt.get_cmap("tab10").colors
    boat_color = {boat["name"]: colors[i % len(colors)] for i, boat in enumerate(match["boats"])}

    def color_of(name):
        return boat_color.get(name, (0.4, 0.4, 0.4))

    figure, axes = plt.subplots(figsize=(9, 9))
    radius = match["arena_radius"]
    axes.add_patch(Circle((0, 0), radius, fill=False, linestyle="--", color="0.7"))
    for box in match["obstacles"]:
        axes.add_patch(Rectangle((box["x"] - box["size_x"] / 2, box["z"] - box["size_z"] / 2),
                                 box["size_x"], box["size_z"], color="0.55", zorder=1))

    for boat in match["boats"]:
        color = color_of(boat["name"])
        for index, segment in enumerate(boat["segments"]):
            xs = [point[0] for point in segment]
            zs = [point[1] for point in segment]
            axes.plot(xs, zs, color=color, linewidth=1.2, alpha=0.8, zorder=2,
                      label=boat["name"] if index == 0 else None)
            if xs:
                axes.plot(xs[0], zs[0], "o", color=color, markersize=5, zorder=3)

    for pickup in match["pickups"]:
        marker, _ = PICKUP_MARKERS.get(pickup["kind"], ("o", "other"))
        axes.plot(pickup["x"], pickup["z"], marker, markersize=11, markerfacecolor="none",
                  markeredgecolor="0.3", zorder=3)
    for collection in match["collections"]:
        marker, _ = PICKUP_MARKERS.get(collection["kind"], ("o", "other"))
        axes.plot(collection["x"], collection["z"], marker, markersize=6, alpha=0.6,
                  color=color_of(collection["boat"]), zorder=4)

    for hit in match["hits"]:
        rocket = hit["kind"] == 0
        axes.plot(hit["x"], hit["z"], "x" if rocket else ".", markersize=7 if rocket else 3,
                  alpha=0.9 if rocket else 0.4, color=color_of(hit["attacker"]), zorder=5)
    for kill in match["kills"]:
        axes.plot(kill["x"], kill["z"], "*", markersize=18, markeredgecolor="black",
                  color=color_of(kill["attacker"]), zorder=6)

    legend = axes.legend(loc="upper left", fontsize=8, title="tracks")
    axes.add_artist(legend)
    keys = [
        Line2D([], [], marker="x", linestyle="none", color="0.2", label="rocket hit (attacker's colour)"),
        Line2D([], [], marker=".", linestyle="none", color="0.2", label="water cannon hit"),
        Line2D([], [], marker="*", linestyle="none", color="0.2", markeredgecolor="black", markersize=12,
               label="kill (at the victim)"),
    ] + [
        Line2D([], [], marker=marker, linestyle="none", markerfacecolor="none", markeredgecolor="0.3",
               label=f"{name} pickup")
        for marker, name in PICKUP_MARKERS.values()
    ]
    axes.legend(handles=keys, loc="upper right", fontsize=8)

    axes.set_title(f"Brinewake match: {match['title']}")
    axes.set_xlabel("x (m)")
    axes.set_ylabel("z (m)")
    axes.set_aspect("equal")
    limit = radius * 1.15
    axes.set_xlim(-limit, limit)
    axes.set_ylim(limit, -limit)  # world -Z (where a boat at rest faces) up the page
    axes.grid(True, color="0.92")
    figure.tight_layout()
    figure.savefig(argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/python3
"""Checks the demo project's scene, resource and project files without the engine.

Usage: check_project.py API_JSON PROJECT_DIR LIBRARY_DESCRIPTION [--self-test]

- every .tscn and .tres is well formed: known section headers, ids declared once, every ExtResource and
  SubResource reference declared before use, load_steps matching, external resources that exist (or
  that the build puts in res://bin/), node parents that exist, unique node paths, node and resource
  types that are engine classes this project uses or the library's registered classes, connections
  between existing nodes;
- every shader #include and every script's load or preload names a file that exists or that the build
  makes;
- project.godot's main scene exists; the extension description names the entry symbol and the same
  libraries as the library's own description file.
"""
import json
import re
import sys
from pathlib import Path

# Engine classes the demo's files use; add one here when a scene starts using it.
ENGINE_NODES = {
    "Node", "Node3D", "WorldEnvironment", "DirectionalLight3D", "Camera3D", "MeshInstance3D", "StaticBody3D",
    "CollisionShape3D", "CanvasLayer", "PanelContainer", "VBoxContainer", "Label", "LineEdit", "Button",
}
ENGINE_RESOURCES = {
    "BoxShape3D", "BoxMesh", "PlaneMesh", "SphereMesh", "ShaderMaterial", "StandardMaterial3D", "Environment",
    "Script", "Shader", "PackedScene",
}
# What the build copies into res://bin/ (the library, its description, the generated sea files).
BUILD_OUTPUTS = re.compile(r"^res://bin/(brinewake_sea\.gdshaderinc|brinewake_sea_clock\.gd|"
                           r"(lib)?brinewake\.(so|dll|dylib)|brinewake\.gdextension)$")

HEADER = re.compile(r"^\[(\w+)((?:\s+\w+=(?:\"[^\"]*\"|[^\s\]]+))*)\s*\]$")
ATTRIBUTE = re.compile(r"(\w+)=(\"[^\"]*\"|[^\s\]]+)")
REFERENCE = re.compile(r"(ExtResource|SubResource)\(\s*\"([^\"]+)\"\s*\)")


def resource_exists(root, path):
    if BUILD_OUTPUTS.match(path):
        return True
    return path.startswith("res://") and (root / path[len("res://"):]).is_file()


def check_text_resource(root, name, text, our_classes):
    errors = []
    kind = Path(name).suffix
    ext_ids, sub_ids, ext_types = {}, set(), {}
    node_paths = set()
    sections = 0
    first_node = True
    steps = None
    for number, line in enumerate(text.splitlines(), 1):
        where = f"{name}:{number}"
        for ref_kind, ref_id in REFERENCE.findall(line):
            known = ext_ids if ref_kind == "ExtResource" else sub_ids
            if ref_id not in known:
                errors.append(f"{where}: {ref_kind}(\"{ref_id}\") is not declared above")
        if not line.startswith("["):
            continue
        match = HEADER.match(line.strip())
        if not match:
            errors.append(f"{where}: malformed section header")
            continue
        section = match.group(1)
        attrs = {k: v.strip('"') for k, v in ATTRIBUTE.findall(match.group(2))}
        sections += 1
        if sections == 1:
            expected = "gd_scene" if kind == ".tscn" else "gd_resource"
            if section != expected:
                errors.append(f"{where}: a {kind} file starts with [{expected}]")
            if "load_steps" in attrs:
                steps = int(attrs["load_steps"])
            if attrs.get("format") != "3":
                errors.append(f"{where}: format=3 expected (Godot 4)")
            continue
        if section == "ext_resource":
            if attrs.get("id") in ext_ids:
                errors.append(f"{where}: ext_resource id {attrs.get('id')} declared twice")
            ext_ids[attrs.get("id")] = attrs.get("path")
            ext_types[attrs.get("id")] = attrs.get("type")
            if attrs.get("type") not in ENGINE_RESOURCES:
                errors.append(f"{where}: ext_resource type {attrs.get('type')} is not a known resource class")
            if not resource_exists(root, attrs.get("path", "")):
                errors.append(f"{where}: {attrs.get('path')} does not exist")
        elif section == "sub_resource":
            if attrs.get("id") in sub_ids:
                errors.append(f"{where}: sub_resource id {attrs.get('id')} declared twice")
            sub_ids.add(attrs.get("id"))
            if attrs.get("type") not in ENGINE_RESOURCES:
                errors.append(f"{where}: sub_resource type {attrs.get('type')} is not a known resource class")
        elif section == "node" and kind == ".tscn":
            node_name = attrs.get("name")
            if not node_name:
                errors.append(f"{where}: node without a name")
                continue
            parent = attrs.get("parent")
            if first_node:
                if parent is not None:
                    errors.append(f"{where}: the root node has a parent")
                node_path = "."
                first_node = False
            else:
                if parent is None:
                    errors.append(f"{where}: a second root node ({node_name})")
                    continue
                if parent not in node_paths:
                    errors.append(f"{where}: parent {parent!r} of {node_name} is not a node above")
                node_path = node_name if parent == "." else f"{parent}/{node_name}"
                if node_path in node_paths:
                    errors.append(f"{where}: node path {node_path} used twice")
            node_paths.add(node_path)
            node_type = attrs.get("type")
            instance = REFERENCE.search(line) if "instance=" in line else None
            if instance:
                if ext_types.get(instance.group(2)) != "PackedScene":
                    errors.append(f"{where}: {node_name} instances a resource that is not a PackedScene")
            elif node_type is None:
                errors.append(f"{where}: node {node_name} has neither a type nor an instance")
            elif node_type not in ENGINE_NODES and node_type not in our_classes:
                errors.append(f"{where}: node type {node_type} is neither a known engine class nor registered")
        elif section == "connection" and kind == ".tscn":
            for end in ("from", "to"):
                if attrs.get(end) not in node_paths:
                    errors.append(f"{where}: connection {end} {attrs.get(end)!r} is not a node")
        elif section == "resource" and kind == ".tres":
            pass
        else:
            errors.append(f"{where}: section [{section}] does not belong in a {kind} file")
    if sections == 0:
        errors.append(f"{name}: empty")
    if steps is not None and steps != len(ext_ids) + len(sub_ids) + 1:
        errors.append(f"{name}: load_steps={steps}, but it declares {len(ext_ids) + len(sub_ids)} resources")
    if kind == ".tscn" and first_node:
        errors.append(f"{name}: a scene without nodes")
    return errors


def read_ini(text):
    values, section = {}, ""
    for line in text.splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            key, value = line.split("=", 1)
            values[(section, key.strip())] = value.strip().strip('"')
    return values


def check_project(api_json, root, library_description):
    our_classes = {c["name"] for c in api_json["classes"]}
    errors = []
    for path in sorted(list(root.rglob("*.tscn")) + list(root.rglob("*.tres"))):
        if ".godot" in path.parts:
            continue
        errors += check_text_resource(root, str(path.relative_to(root)), path.read_text(encoding="utf-8"), our_classes)
    for path in sorted(root.rglob("*.gdshader")):
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            include = re.match(r'\s*#include\s+"([^"]+)"', line)
            if include and not resource_exists(root, include.group(1)):
                errors.append(f"{path.relative_to(root)}:{number}: {include.group(1)} does not exist")
    for path in sorted(root.rglob("*.gd")):
        if ".godot" in path.parts:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            for loaded in re.findall(r'\b(?:preload|load)\(\s*"(res://[^"]+)"', line):
                if not resource_exists(root, loaded):
                    errors.append(f"{path.relative_to(root)}:{number}: {loaded} does not exist")
    project = read_ini((root / "project.godot").read_text(encoding="utf-8"))
    main_scene = project.get(("application", "run/main_scene"), "")
    if not resource_exists(root, main_scene):
        errors.append(f"project.godot: main scene {main_scene!r} does not exist")
    if "4.7" not in project.get(("application", "config/features"), ""):
        errors.append("project.godot: config/features does not name 4.7")
    descriptions = sorted(root.glob("*.gdextension"))
    if len(descriptions) != 1:
        errors.append("the project needs exactly one .gdextension file at its root")
    else:
        ours = read_ini(descriptions[0].read_text(encoding="utf-8"))
        theirs = read_ini(Path(library_description).read_text(encoding="utf-8"))
        if ours.get(("configuration", "entry_symbol")) != "brinewake_init":
            errors.append(f"{descriptions[0].name}: entry_symbol is not brinewake_init")
        ours_libs = {k: v for k, v in ours.items() if k[0] == "libraries"}
        theirs_libs = {k: v for k, v in theirs.items() if k[0] == "libraries"}
        if ours_libs != theirs_libs or not ours_libs:
            errors.append(f"{descriptions[0].name}: libraries differ from {library_description}")
        for key, value in ours_libs.items():
            if not BUILD_OUTPUTS.match(value):
                errors.append(f"{descriptions[0].name}: {key[1]} = {value} is not where the build puts the library")
    return errors


def self_test(our_classes, root):
    """Each broken scene must be reported; returns the breaks that went unnoticed."""
    good = (root / "main.tscn").read_text(encoding="utf-8")
    breaks = [
        ("a missing script", lambda s: s.replace("res://scripts/main.gd", "res://scripts/missing.gd")),
        ("a node under a missing parent", lambda s: s.replace('parent="Hud/Panel/Rows"]', 'parent="Hud/Rows"]', 1)),
        ("an unknown node type", lambda s: s.replace('type="StaticBody3D"', 'type="StaticBody"', 1)),
        ("an undeclared sub-resource", lambda s: s.replace('SubResource("BoxMesh_rock")', 'SubResource("BoxMesh_stone")', 1)),
        ("a wrong load_steps", lambda s: s.replace("load_steps=", "load_steps=9", 1)),
        ("a duplicated node", lambda s: s + '\n[node name="Combat" type="WeaponSystem" parent="."]\n'),
        ("a renamed library class", lambda s: s.replace('type="WeaponSystem"', 'type="WeaponSystems"')),
        ("a connection to no node", lambda s: s + '\n[connection signal="boat_hit" from="Combat" to="Nowhere" method="f"]\n'),
    ]
    unnoticed = []
    for what, breaker in breaks:
        broken = breaker(good)
        if broken == good or not check_text_resource(root, f"<{what}>.tscn", broken, our_classes):
            unnoticed.append(what)
    if check_text_resource(root, "main.tscn", good, our_classes):
        unnoticed.append("the real scene was refused")
    return unnoticed


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    api_json = json.loads(Path(argv[1]).read_text(encoding="utf-8"))
    root = Path(argv[2])
    errors = check_project(api_json, root, argv[3])
    if "--self-test" in argv[4:]:
        errors += [f"self-test: not reported: {what}" for what in self_test({c["name"] for c in api_json["classes"]}, root)]
    for error in errors:
        print(error)
    if errors:
        return 1
    print("the demo's scenes, resources, shaders and project files are well formed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

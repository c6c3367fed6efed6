#!/usr/bin/python3
"""Holds the class reference (doc_classes/*.xml) to the interface the library registers.

Usage: check_class_reference.py API_JSON DOC_DIR [--self-test]

API_JSON is the output of `brinewake-sim --dump-api`. Every registered class must have its XML file,
and the file must list exactly the registered methods (in binding order, with argument names, types,
defaults, const-ness and return type), signals (in order, with their arguments), enumerations and
constants, and properties, each with a description; a method's description names each of its
arguments as [param name]. With --self-test the checker also breaks the real files in the ways a
change of the interface would and fails unless every break is reported.
"""
import copy
import json
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def text(element):
    return " ".join((element.text or "").split()) if element is not None else ""


def check_class(api, root):
    """Returns a list of disagreements between one registered class and its XML tree."""
    errors = []
    name = api["name"]

    def err(message):
        errors.append(f"{name}: {message}")

    if root.get("name") != name:
        err(f"XML names the class {root.get('name')!r}")
    if root.get("inherits") != api["base"]:
        err(f"inherits {root.get('inherits')!r}, registered base is {api['base']!r}")
    if not text(root.find("brief_description")) or not text(root.find("description")):
        err("brief description or description is empty")

    doc_methods = root.findall("methods/method")
    doc_names = [m.get("name") for m in doc_methods]
    api_names = [m["name"] for m in api["methods"]]
    for missing in [n for n in api_names if n not in doc_names]:
        err(f"method {missing} is registered but not documented")
    for extra in [n for n in doc_names if n not in api_names]:
        err(f"method {extra} is documented but not registered")
    common_doc = [n for n in doc_names if n in api_names]
    common_api = [n for n in api_names if n in doc_names]
    if common_doc != common_api:
        err(f"methods are documented in the order {common_doc}, bound in the order {common_api}")

    by_name = {m.get("name"): m for m in doc_methods}
    for method in api["methods"]:
        doc = by_name.get(method["name"])
        if doc is None:
            continue
        where = f"method {method['name']}"
        const = doc.get("qualifiers", "") == "const"
        if const != method["const"]:
            err(f"{where}: const is {const} in the XML, {method['const']} when registered")
        ret = doc.find("return")
        if ret is None or ret.get("type") != method["return"]:
            err(f"{where}: returns {None if ret is None else ret.get('type')!r}, registered {method['return']!r}")
        params = sorted(doc.findall("param"), key=lambda p: int(p.get("index", "-1")))
        if [int(p.get("index", "-1")) for p in params] != list(range(len(params))):
            err(f"{where}: parameter indices are not 0, 1, ...")
        doc_args = [(p.get("name"), p.get("type")) for p in params]
        api_args = [(a["name"], a["type"]) for a in method["args"]]
        if doc_args != api_args:
            err(f"{where}: arguments {doc_args} in the XML, registered {api_args}")
        # Defaults belong to the last arguments.
        defaults = [None] * (len(api_args) - len(method["defaults"])) + [json.dumps(d) for d in method["defaults"]]
        doc_defaults = [p.get("default") for p in params]
        if len(doc_defaults) == len(defaults) and doc_defaults != defaults:
            err(f"{where}: defaults {doc_defaults} in the XML, registered {defaults}")
        description = text(doc.find("description"))
        if not description:
            err(f"{where} has no description")
        for arg_name, _ in api_args:
            if f"[param {arg_name}]" not in description:
                err(f"{where}: the description does not name its argument [param {arg_name}]")

    doc_signals = root.findall("signals/signal")
    doc_sig = [(s.get("name"), [(p.get("name"), p.get("type"))
                                for p in sorted(s.findall("param"), key=lambda p: int(p.get("index", "-1")))])
               for s in doc_signals]
    api_sig = [(s["name"], [(a["name"], a["type"]) for a in s["args"]]) for s in api["signals"]]
    if doc_sig != api_sig:
        err(f"signals {doc_sig} in the XML, registered {api_sig}")
    for signal in doc_signals:
        if not text(signal.find("description")):
            err(f"signal {signal.get('name')} has no description")

    enum_of = {c: e for e, members in api["enums"].items() for c in members}
    doc_constants = {c.get("name"): c for c in root.findall("constants/constant")}
    for constant, value in api["constants"].items():
        doc = doc_constants.get(constant)
        if doc is None:
            err(f"constant {constant} is registered but not documented")
            continue
        if doc.get("value") != str(value):
            err(f"constant {constant} is {doc.get('value')} in the XML, registered {value}")
        if doc.get("enum") != enum_of.get(constant):
            err(f"constant {constant} belongs to enum {doc.get('enum')!r} in the XML, registered {enum_of.get(constant)!r}")
        if not text(doc):
            err(f"constant {constant} has no description")
    for extra in set(doc_constants) - set(api["constants"]):
        err(f"constant {extra} is documented but not registered")

    doc_members = {m.get("name"): m for m in root.findall("members/member")}
    api_props = {p["name"]: p for p in api["properties"]}
    for prop_name, prop in api_props.items():
        doc = doc_members.get(prop_name)
        if doc is None:
            err(f"property {prop_name} is registered but not documented")
            continue
        for key in ("type", "setter", "getter"):
            if doc.get(key) != prop[key]:
                err(f"property {prop_name}: {key} {doc.get(key)!r} in the XML, registered {prop[key]!r}")
        if not text(doc):
            err(f"property {prop_name} has no description")
    for extra in set(doc_members) - set(api_props):
        err(f"property {extra} is documented but not registered")
    return errors


def check(api_json, doc_dir):
    errors = []
    trees = {}
    for cls in api_json["classes"]:
        path = Path(doc_dir) / f"{cls['name']}.xml"
        if not path.exists():
            errors.append(f"{cls['name']}: no {path}")
            continue
        try:
            trees[cls["name"]] = ET.parse(path).getroot()
        except ET.ParseError as error:
            errors.append(f"{path}: {error}")
            continue
        errors += check_class(cls, trees[cls["name"]])
    registered = {c["name"] for c in api_json["classes"]}
    for path in Path(doc_dir).glob("*.xml"):
        if path.stem not in registered:
            errors.append(f"{path}: documents a class the library does not register")
    return errors, trees


def self_test(api_json, trees):
    """Each break of a real file must be reported; returns the breaks that went unnoticed."""

    def first(root, path):
        return root.find(path)

    def rename_argument(root):
        first(root, "methods/method/param").set("name", "renamed")

    def swap_methods(root):
        methods = first(root, "methods")
        a, b = list(methods)[0], list(methods)[1]
        methods.remove(a)
        methods.insert(1, a)

    def drop_method(root):
        methods = first(root, "methods")
        methods.remove(list(methods)[-1])

    def empty_description(root):
        first(root, "methods/method/description").text = ""

    def drop_signal(root):
        signals = first(root, "signals")
        signals.remove(list(signals)[0])

    def drop_constant(root):
        constants = first(root, "constants")
        constants.remove(list(constants)[0])

    def wrong_enum(root):
        first(root, "constants/constant").set("enum", "Other")

    def drop_member(root):
        members = first(root, "members")
        members.remove(list(members)[0])

    def wrong_return(root):
        first(root, "methods/method/return").set("type", "int" if first(root, "methods/method/return").get("type") != "int" else "float")

    def drop_const(root):
        for method in root.findall("methods/method"):
            if method.get("qualifiers") == "const":
                del method.attrib["qualifiers"]
                return

    breaks = [
        ("Boat", "a renamed argument", rename_argument),
        ("Boat", "two methods swapped", swap_methods),
        ("BoatMotion", "a method without documentation", drop_method),
        ("WeaponSystem", "an empty method description", empty_description),
        ("WeaponSystem", "a missing signal", drop_signal),
        ("WeaponSystem", "a missing constant", drop_constant),
        ("WeaponSystem", "a constant in the wrong enum", wrong_enum),
        ("WeaponSystem", "a missing property", drop_member),
        ("BoatMotion", "a wrong return type", wrong_return),
        ("Boat", "a lost const qualifier", drop_const),
    ]
    api_by_name = {c["name"]: c for c in api_json["classes"]}
    unnoticed = []
    for cls, what, breaker in breaks:
        root = copy.deepcopy(trees[cls])
        breaker(root)
        if not check_class(api_by_name[cls], root):
            unnoticed.append(f"{cls}: {what}")
    return unnoticed


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        api_json = json.load(f)
    errors, trees = check(api_json, argv[2])
    for error in errors:
        print(error)
    if errors:
        return 1
    if "--self-test" in argv[3:]:
        unnoticed = self_test(api_json, trees)
        for what in unnoticed:
            print(f"self-test: not reported: {what}")
        if unnoticed:
            return 1
    print(f"class reference matches the registered interface of {len(api_json['classes'])} classes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env node
// Checks GDScript files against the library's registered interface, without the engine.
//
// Usage: node check_gdscript.js API_JSON PATH... [--self-test]
//
// PATH is a .gd file or a folder searched for .gd files (folders named .godot are skipped).
// 1. Every file parses with the tree-sitter grammar for GDScript, without error or missing nodes.
// 2. On every value typed as one of the library's classes (a variable, member or parameter declared
//    `: Boat`, `:= Boat.new()` or `:= ... as Boat`), every call `value.method(...)` names a method the
//    class registers (or an engine method of its base listed below) with an argument count it takes.
// 3. Every `value.signal.connect(handler)` names a signal of the class, and a handler that is a
//    function of the same file (with any .bind(...) arguments) or a lambda takes that many arguments.
// 4. Every `Class.NAME` on one of the library's classes names a registered constant, method or signal.
// A name typed as two different library classes in one file is reported, so nothing goes unchecked.
'use strict';
const fs = require('fs');
const path = require('path');
const Parser = require('tree-sitter');
const GDScript = require('tree-sitter-gdscript');

// Engine methods the scripts call on values of the library's classes, by the engine class that
// declares them: [least, most] arguments. Keep it to what the scripts use.
const ENGINE_METHODS = {
  Object: { get_instance_id: [0, 0], connect: [2, 3], free: [0, 0], call: [1, 99], get_class: [0, 0], is_class: [1, 1] },
  RefCounted: {},
  Node: { add_child: [1, 3], queue_free: [0, 0], is_inside_tree: [0, 0], get_parent: [0, 0], set_physics_process: [1, 1],
    remove_child: [1, 1], get_node: [1, 1] },
  Node3D: { look_at: [1, 3], get_global_transform: [0, 0], set_global_transform: [1, 1], to_global: [1, 1] },
  CollisionObject3D: { get_collision_layer: [0, 0], get_collision_mask: [0, 0] },
  PhysicsBody3D: {},
  RigidBody3D: { apply_impulse: [1, 2], apply_central_impulse: [1, 1], set_freeze_enabled: [1, 1] },
};
const ENGINE_BASES = {
  Object: null, RefCounted: 'Object', Node: 'Object', Node3D: 'Node', CollisionObject3D: 'Node3D',
  PhysicsBody3D: 'CollisionObject3D', RigidBody3D: 'PhysicsBody3D',
};

function loadApi(file) {
  const api = JSON.parse(fs.readFileSync(file, 'utf8'));
  const classes = {};
  for (const cls of api.classes) {
    classes[cls.name] = cls;
  }
  return classes;
}

function gdFiles(target) {
  const stat = fs.statSync(target);
  if (stat.isFile()) return [target];
  const out = [];
  for (const entry of fs.readdirSync(target, { withFileTypes: true })) {
    if (entry.name === '.godot') continue;
    const full = path.join(target, entry.name);
    if (entry.isDirectory()) out.push(...gdFiles(full));
    else if (entry.name.endsWith('.gd')) out.push(full);
  }
  return out.sort();
}

// [least, most] arguments of a method of class `name` (ours or the engine's), or null.
function methodArity(classes, name, method) {
  let cls = name;
  while (cls && classes[cls]) {
    const m = classes[cls].methods.find((x) => x.name === method);
    if (m) return [m.args.length - m.defaults.length, m.args.length];
    cls = classes[cls].base;
  }
  while (cls) {
    const known = ENGINE_METHODS[cls] && ENGINE_METHODS[cls][method];
    if (known) return known;
    cls = ENGINE_BASES[cls];
  }
  return null;
}

function signalOf(classes, name, signal) {
  for (let cls = name; cls && classes[cls]; cls = classes[cls].base) {
    const s = classes[cls].signals.find((x) => x.name === signal);
    if (s) return s;
  }
  return null;
}

function named(node) {
  return node.namedChildren.filter((c) => c.type !== 'comment');
}

function checkSource(classes, file, source) {
  const errors = [];
  const where = (node) => `${file}:${node.startPosition.row + 1}:${node.startPosition.column + 1}`;
  const parser = new Parser();
  parser.setLanguage(GDScript);
  const tree = parser.parse(source);
  const nodes = [];
  (function walk(node) {
    nodes.push(node);
    for (const child of node.children) walk(child);
  })(tree.rootNode);
  for (const node of nodes) {
    if (node.type === 'ERROR' || node.isMissing) {
      errors.push(`${where(node)}: does not parse: ${JSON.stringify(node.text.slice(0, 60))}`);
    }
  }
  if (errors.length) return errors;

  // Names typed as a library class.
  const typed = {};
  const declare = (nameNode, typeName) => {
    if (!classes[typeName]) return;
    const name = nameNode.text;
    if (typed[name] && typed[name] !== typeName) {
      errors.push(`${where(nameNode)}: ${name} is typed both ${typed[name]} and ${typeName}; rename one`);
    }
    typed[name] = typeName;
  };
  const valueType = (value) => {
    if (!value) return null;
    if (value.type === 'attribute') {
      const parts = named(value);
      if (parts.length === 2 && parts[0].type === 'identifier' && parts[1].type === 'attribute_call' &&
          named(parts[1])[0].text === 'new') {
        return parts[0].text;
      }
    }
    if (value.type === 'binary_operator' && value.child(1) && value.child(1).text === 'as') {
      return value.childForFieldName('right').text;
    }
    return null;
  };
  const functions = {};
  for (const node of nodes) {
    if (node.type === 'variable_statement' || node.type === 'const_statement') {
      const name = node.childForFieldName('name');
      const type = node.childForFieldName('type');
      if (!name) continue;
      if (type && type.type === 'type') declare(name, type.text);
      else declare(name, valueType(node.childForFieldName('value')));
    } else if (node.type === 'typed_parameter' || node.type === 'typed_default_parameter') {
      declare(named(node)[0], node.childForFieldName('type').text);
    } else if (node.type === 'for_statement' && node.childForFieldName('type')) {
      declare(node.childForFieldName('left'), node.childForFieldName('type').text);
    } else if (node.type === 'function_definition') {
      const params = node.childForFieldName('parameters');
      const list = params ? named(params) : [];
      const least = list.filter((p) => !p.type.includes('default')).length;
      functions[node.childForFieldName('name').text] = [least, list.length];
    }
  }

  // The argument counts a signal handler accepts: [least, most], or null when it cannot be known here.
  const handlerArity = (handler) => {
    if (handler.type === 'identifier' && functions[handler.text]) return functions[handler.text];
    if (handler.type === 'lambda') {
      const params = handler.childForFieldName('parameters');
      const list = params ? named(params) : [];
      return [list.filter((p) => !p.type.includes('default')).length, list.length];
    }
    if (handler.type === 'attribute') {
      const parts = named(handler);
      if (parts.length === 2 && parts[0].type === 'identifier' && parts[1].type === 'attribute_call' &&
          named(parts[1])[0].text === 'bind' && functions[parts[0].text]) {
        const bound = named(named(parts[1])[1] || { namedChildren: [] }).length;
        const [least, most] = functions[parts[0].text];
        return [least - bound, most - bound];
      }
    }
    return null;
  };

  for (const node of nodes) {
    if (node.type !== 'attribute') continue;
    const parts = named(node);
    if (parts.length < 2 || parts[0].type !== 'identifier') continue;
    const head = parts[0].text;
    // Class.NAME and Class.method() on a library class.
    if (classes[head] && parts.length === 2 && parts[1].type === 'identifier') {
      const cls = classes[head];
      const name = parts[1].text;
      if (!(name in cls.constants) && !cls.methods.some((m) => m.name === name) &&
          !cls.signals.some((s) => s.name === name) && !(name in cls.enums)) {
        errors.push(`${where(parts[1])}: ${head} registers no constant, enum, method or signal ${name}`);
      }
      continue;
    }
    const cls = typed[head];
    if (!cls) continue;
    if (parts.length === 2 && parts[1].type === 'attribute_call') {
      const [method, args] = named(parts[1]);
      const count = args ? named(args).length : 0;
      const arity = methodArity(classes, cls, method.text);
      if (!arity) {
        errors.push(`${where(method)}: ${head} is a ${cls}, which has no method ${method.text}`);
      } else if (count < arity[0] || count > arity[1]) {
        errors.push(`${where(method)}: ${cls}.${method.text} takes ${arity[0]}..${arity[1]} arguments, given ${count}`);
      }
    } else if (parts.length === 3 && parts[1].type === 'identifier' && parts[2].type === 'attribute_call') {
      const [call, args] = named(parts[2]);
      if (!['connect', 'disconnect', 'is_connected', 'emit'].includes(call.text)) continue;
      const signal = signalOf(classes, cls, parts[1].text);
      if (!signal) {
        errors.push(`${where(parts[1])}: ${cls} has no signal ${parts[1].text}`);
        continue;
      }
      if (call.text === 'connect' && args && named(args).length > 0) {
        const arity = handlerArity(named(args)[0]);
        const given = signal.args.length;
        if (arity && (given < arity[0] || given > arity[1])) {
          errors.push(`${where(named(args)[0])}: ${cls}.${signal.name} passes ${given} arguments; the handler takes ${arity[0]}..${arity[1]}`);
        }
      }
    }
  }
  return errors;
}

// Each broken script must be reported; returns the breaks that went unnoticed.
function selfTest(classes) {
  const cases = [
    ['a syntax error', 'func f() -> void:\n\tvar x = (1 +\n'],
    ['an unknown method', 'func f(boat: Boat) -> void:\n\tboat.set_throttle(1.0)\n'],
    ['too few arguments', 'func f(boat: Boat) -> void:\n\tboat.set_controls(1.0)\n'],
    ['too many arguments', 'var motion := BoatMotion.new()\nfunc f() -> void:\n\tmotion.step(1.0, 0.0, 0.1, 2)\n'],
    ['a method of another class', 'func f(combat: WeaponSystem) -> void:\n\tcombat.set_controls(1.0, 0.0)\n'],
    ['a cast value', 'func f(n: Node) -> void:\n\tvar c := n as WeaponSystem\n\tc.add_pickup(0)\n'],
    ['an unknown signal', 'func f(combat: WeaponSystem) -> void:\n\tcombat.boat_sunk.connect(g)\nfunc g() -> void:\n\tpass\n'],
    ['a handler of the wrong arity', 'func f(combat: WeaponSystem) -> void:\n\tcombat.boat_hit.connect(g)\nfunc g(a: Object) -> void:\n\tpass\n'],
    ['a bound handler of the wrong arity', 'func f(boat: Boat) -> void:\n\tboat.destroyed.connect(g.bind(boat))\nfunc g() -> void:\n\tpass\n'],
    ['a lambda of the wrong arity', 'func f(combat: WeaponSystem) -> void:\n\tcombat.pickup_respawned.connect(func(): pass)\n'],
    ['an unknown constant', 'var k: int = WeaponSystem.PICKUP_AMMO\n'],
  ];
  const unnoticed = [];
  for (const [what, source] of cases) {
    if (checkSource(classes, `<${what}>`, source).length === 0) unnoticed.push(what);
  }
  // And a correct script passes.
  const good = 'func f(boat: Boat, combat: WeaponSystem) -> void:\n\tboat.cycle_weapon()\n\tboat.cycle_weapon(-1)\n' +
    '\tcombat.boat_hit.connect(func(a, b, c, d, e): pass)\n\tboat.destroyed.connect(g.bind(boat))\n' +
    '\tvar k: int = WeaponSystem.PICKUP_SPEED\nfunc g(b: Boat) -> void:\n\tb.queue_free()\n';
  const goodErrors = checkSource(classes, '<a correct script>', good);
  if (goodErrors.length) unnoticed.push(`a correct script was refused: ${goodErrors.join('; ')}`);
  return unnoticed;
}

function main(argv) {
  const args = argv.filter((a) => a !== '--self-test');
  if (args.length < 2) {
    console.error('usage: check_gdscript.js API_JSON PATH... [--self-test]');
    return 2;
  }
  const classes = loadApi(args[0]);
  let errors = [];
  let files = 0;
  for (const target of args.slice(1)) {
    for (const file of gdFiles(target)) {
      files += 1;
      errors = errors.concat(checkSource(classes, file, fs.readFileSync(file, 'utf8')));
    }
  }
  if (argv.includes('--self-test')) {
    for (const what of selfTest(classes)) errors.push(`self-test: not reported: ${what}`);
  }
  for (const error of errors) console.log(error);
  if (files === 0) {
    console.log('no .gd files found');
    return 1;
  }
  if (errors.length) return 1;
  console.log(`${files} GDScript files parse and call the registered interface correctly`);
  return 0;
}

process.exitCode = main(process.argv.slice(2));

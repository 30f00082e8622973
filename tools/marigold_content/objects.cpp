// The demo's objects.
#include <cmath>

#include "tools/marigold_content/content.hpp"
#include "tools/marigold_content/mesh_builders.hpp"

namespace demotools {

namespace {

Surface Textured(const std::string& name, const std::string& image, Projection projection, Axis axis = Axis::Y) {
  Surface s;
  s.name = name;
  s.color = {1, 1, 1};
  s.hasImage = true;
  s.map.image = image;
  s.map.projection = projection;
  s.map.axis = axis;
  s.smoothingDegrees = 60;
  return s;
}

Surface Plain(const std::string& name, Vec3 color, float luminosity, float specular) {
  Surface s;
  s.name = name;
  s.color = color;
  s.luminosity = luminosity;
  s.specular = specular;
  s.glossiness = 0.6f;
  s.smoothingDegrees = 60;
  return s;
}

// Stands a mesh built flat in the XZ plane upright into the XY plane (a
// quarter turn about x, so the polygons keep their facing).
Mesh Upright(Mesh mesh) {
  for (Vec3& p : mesh.points) p = {p.x, -p.z, p.y};
  return mesh;
}

ObjectFile Single(const std::string& layer, Mesh mesh, Surface surface) {
  ObjectFile o;
  o.layerName = layer;
  o.mesh = std::move(mesh);
  o.surfaces.push_back(std::move(surface));
  return o;
}

// Five picture cards side by side; the demo opens their surfaces by name.
ObjectFile CommonCards() {
  ObjectFile o;
  o.layerName = "Cards";
  const char* names[] = {"Loading", "Mind", "Thanx", "small1", "small2"};
  const char* images[] = {"images/loading.jpg", "images/mind.jpg", "images/thanx.jpg", "small1.jpg", "small2.jpg"};
  for (int i = 0; i < 5; ++i) {
    Surface s = Textured(names[i], images[i], Projection::Uv);
    s.luminosity = 1;
    s.diffuse = 0;
    s.doubleSided = true;
    o.surfaces.push_back(s);
    Mesh card = Box({1.6f, 1.2f, 0.02f});
    card.Translate({static_cast<float>(i) * 2 - 4, 0, 0});
    o.mesh.Append(card, static_cast<uint16_t>(i));
  }
  return o;
}

ObjectFile Planet() {
  ObjectFile o;
  o.layerName = "Planet";
  Surface body = Textured("PlanetSkin", "images/plasma_blue.jpg", Projection::Cylindrical, Axis::Y);
  body.specular = 0.3f;
  body.smoothingDegrees = 89;
  o.surfaces.push_back(body);
  Surface ring = Textured("PlanetRing", "images/plasma_gold.jpg", Projection::Planar, Axis::Y);
  ring.doubleSided = true;
  ring.transparency = 0.25f;
  ring.luminosity = 0.4f;
  ring.map.size = {4, 4, 4};
  o.surfaces.push_back(ring);
  o.mesh.Append(Sphere(3, 48, 24), 0);
  Mesh r = Ring(4, 6.5f, 96);
  o.mesh.Append(r, 1);
  return o;
}

ObjectFile LetterBlock(const std::string& text, Vec3 color, float luminosity) {
  ObjectFile o;
  o.layerName = text;
  Surface face = Plain("Letters", color, luminosity, 0.8f);
  face.smoothingDegrees = 0;
  o.surfaces.push_back(face);
  o.mesh = BlockText(text, 1, 0.5f);
  return o;
}

}  // namespace

std::map<std::string, ObjectFile> DemoObjects() {
  std::map<std::string, ObjectFile> objects;
  objects["objects/common_cards.lwo"] = CommonCards();

  Surface logo = Textured("LogoSphere", "images/marigold_logo.jpg", Projection::Uv);
  logo.luminosity = 0.3f;
  logo.specular = 0.6f;
  logo.smoothingDegrees = 89;
  objects["objects/logo_sphere.lwo"] = Single("LogoSphere", Sphere(1.5f, 40, 20), logo);

  Surface cube = Textured("SpiralCube", "images/plasma_gold.jpg", Projection::Uv);
  cube.specular = 0.5f;
  cube.luminosity = 0.25f;
  cube.smoothingDegrees = 0;
  objects["objects/spiral_cube.lwo"] = Single("Cube", Box({0.5f, 0.5f, 0.5f}), cube);

  Surface halo = Textured("Halo", "images/plasma_blue.jpg", Projection::Uv);
  halo.doubleSided = true;
  halo.luminosity = 0.7f;
  halo.transparency = 0.3f;
  objects["objects/spiral_ring.lwo"] = Single("Halo", Ring(2.2f, 3.0f, 96), halo);

  Surface chain = Textured("ChainMetal", "images/metal.jpg", Projection::Uv);
  chain.specular = 0.9f;
  chain.glossiness = 0.8f;
  objects["objects/chain_link.lwo"] = Single("Link", Upright(Torus(0.8f, 0.18f, 32, 10)), chain);

  ObjectFile terrain = Single("Terrain", Terrain(60, 64, 6, 1234), Plain("Land", {1, 1, 1}, 0.05f, 0.1f));
  terrain.surfaces[0].smoothingDegrees = 70;
  objects["objects/terrain.lwo"] = terrain;

  Surface spark = Textured("Sparks", "images/plasma_gold.jpg", Projection::Uv);
  spark.doubleSided = true;
  spark.luminosity = 1;
  spark.diffuse = 0.2f;
  objects["objects/sparks.lwo"] = Single("Sparks", ParticleCloud(600, 6, 14, 0.12f, 7), spark);

  Surface ball = Textured("Bubble", "images/plasma_blue.jpg", Projection::Spherical);
  ball.specular = 1;
  ball.glossiness = 0.9f;
  ball.smoothingDegrees = 89;
  objects["objects/bubble.lwo"] = Single("Bubble", Sphere(0.8f, 32, 16), ball);

  Surface tunnel = Plain("TunnelRing", {0.3f, 0.8f, 1.0f}, 0.45f, 0.7f);
  objects["objects/tunnel_ring.lwo"] = Single("Ring", Upright(Torus(3.2f, 0.3f, 8, 6)), tunnel);

  Surface pillar = Textured("Pillar", "images/metal.jpg", Projection::Cylindrical, Axis::Y);
  pillar.map.wrapWidth = 2;
  objects["objects/pillar.lwo"] = Single("Pillar", Cylinder(0.35f, 8, 24, true), pillar);

  Surface bar = Plain("EqBar", {1.0f, 0.35f, 0.6f}, 0.5f, 0.6f);
  Mesh barMesh = Box({0.6f, 1, 0.6f});
  barMesh.Translate({0, 0.5f, 0});  // scaling in Y grows the bar upward from the floor
  objects["objects/eq_bar.lwo"] = Single("Bar", barMesh, bar);

  Surface disco = Textured("Disco", "images/plasma_gold.jpg", Projection::Uv);
  disco.specular = 1;
  disco.smoothingDegrees = 0;  // faceted like a mirror ball
  objects["objects/disco_ball.lwo"] = Single("Disco", Sphere(1.6f, 24, 12), disco);

  Surface floor = Textured("Floor", "images/metal.jpg", Projection::Planar, Axis::Y);
  floor.map.size = {3, 3, 3};
  Mesh floorMesh = Box({30, 0.2f, 30});
  floorMesh.Translate({0, -0.1f, 0});
  objects["objects/floor.lwo"] = Single("Floor", floorMesh, floor);

  for (const char* tone : {"violet", "ember"}) {
    Surface sky = Textured("Sky", std::string("images/nebula_") + tone + ".jpg", Projection::Uv);
    sky.doubleSided = true;
    sky.diffuse = 0;
    sky.luminosity = 1;
    sky.smoothingDegrees = 89;
    objects[std::string("objects/sky_") + tone + ".lwo"] = Single("Sky", Sphere(90, 32, 16), sky);
  }
  objects["objects/planet.lwo"] = Planet();
  objects["objects/title_marigold.lwo"] = LetterBlock("MARIGOLD", {1.0f, 0.75f, 0.2f}, 0.35f);
  objects["objects/title_end.lwo"] = LetterBlock("THE END", {0.3f, 0.7f, 1.0f}, 0.1f);
  return objects;
}

}  // namespace demotools

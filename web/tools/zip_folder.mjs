// Zips the files of a folder under one folder name, for a user to download and unpack:
//   node zip_folder.mjs FOLDER NAME OUT.zip
import { readdirSync, readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { zipSync } from "fflate";

const [folder, name, out] = process.argv.slice(2);
if (!out) {
  console.error("usage: node zip_folder.mjs FOLDER NAME OUT.zip");
  process.exit(2);
}
const files = {};
for (const file of readdirSync(folder).sort()) files[`${name}/${file}`] = readFileSync(join(folder, file));
writeFileSync(out, zipSync(files, { level: 9 }));

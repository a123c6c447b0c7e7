#include "serve/WebPage.h"

namespace mrk2::serve {

const char* const kWebPage = R"HTML(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>mrk2tool 住所検索</title>
<link rel="stylesheet" href="/leaflet/leaflet.css">
<script src="/leaflet/leaflet.js"></script>
<style>
body { font-family: "Noto Sans CJK JP", sans-serif; margin: 0; display: flex; height: 100vh; }
#side { width: 46%; padding: 12px; box-sizing: border-box; overflow: auto; }
#map { flex: 1; background: #f4f4f0; }
h1 { font-size: 18px; margin: 0 0 8px; }
label { display: block; margin-top: 8px; font-size: 13px; }
input[type=text], textarea, select { width: 100%; box-sizing: border-box; font-size: 14px; }
textarea { height: 90px; }
button { margin-top: 4px; }
table { border-collapse: collapse; margin-top: 10px; font-size: 12px; width: 100%; }
th, td { border: 1px solid #bbb; padding: 2px 4px; text-align: left; }
th { background: #eee; }
#status, #reverse { margin-top: 8px; font-size: 13px; min-height: 1.2em; }
.error { color: #b00; }
</style>
</head>
<body>
<div id="side">
<h1>住所検索</h1>
<label>地域 <select id="region"><option value="">（自動）</option></select></label>
<label>住所 <input type="text" id="address" placeholder="例: 那覇市泉崎一丁目"></label>
<button id="find">検索</button>
<label>一括検索（1行に1住所） <textarea id="batch"></textarea></label>
<button id="findBatch">一括検索</button>
<div id="status"></div>
<div id="reverse"></div>
<table id="answers"><thead><tr><th>入力</th><th>都道府県名</th><th>市区町村名</th>
<th>大字・町丁目</th><th>街区・番地</th><th>緯度</th><th>経度</th><th>一致レベル</th></tr></thead>
<tbody></tbody></table>
</div>
<div id="map"></div>
<script>
"use strict";
L.Icon.Default.imagePath = "/leaflet/images/";
const map = L.map("map", {preferCanvas: true, zoomControl: true}).setView([35.68, 139.76], 5);
const pointLayer = L.layerGroup().addTo(map);
const answerLayer = L.layerGroup().addTo(map);
const $ = (id) => document.getElementById(id);
let mapRegion = null;

function say(text, isError) {
  $("status").textContent = text;
  $("status").className = isError ? "error" : "";
}

async function errorText(res) {
  try { const e = await res.json(); return e["メッセージ"] + "（" + e["エラー番号"] + "）"; }
  catch (_) { return "HTTP " + res.status; }
}

async function drawRegion(name) {
  if (!name || name === mapRegion) return;
  mapRegion = name;
  const res = await fetch("/points?region=" + encodeURIComponent(name));
  if (!res.ok) { say(await errorText(res), true); return; }
  const pts = (await res.json())["点"];
  pointLayer.clearLayers();
  for (const [lat, lon] of pts)
    L.circleMarker([lat, lon], {radius: 2, stroke: false, fillColor: "#5a7", fillOpacity: 0.7}).addTo(pointLayer);
  if (pts.length) map.fitBounds(L.latLngBounds(pts), {padding: [20, 20]});
}

async function loadRegions() {
  const res = await fetch("/regions");
  const list = await res.json();
  for (const r of list) {
    const o = document.createElement("option");
    o.value = r["名前"];
    o.textContent = r["名前"] + "（" + r["町数"] + "町, " + r["行数"] + "行）";
    $("region").appendChild(o);
  }
  if (list.length) await drawRegion(list[0]["名前"]);
  document.body.dataset.ready = "1";
}

function showAnswer(a) {
  const row = document.createElement("tr");
  for (const k of ["入力", "都道府県名", "市区町村名", "大字・町丁目", "街区・番地", "緯度", "経度", "一致レベル"]) {
    const td = document.createElement("td");
    td.textContent = a[k] === null || a[k] === undefined ? "" : a[k];
    row.appendChild(td);
  }
  $("answers").tBodies[0].appendChild(row);
  if (typeof a["緯度"] === "number" && typeof a["経度"] === "number") {
    L.marker([a["緯度"], a["経度"]]).addTo(answerLayer)
      .bindPopup(a["都道府県名"] + a["市区町村名"] + a["大字・町丁目"] + a["街区・番地"] + "（" + a["一致レベル"] + "）");
    return [a["緯度"], a["経度"]];
  }
  return null;
}

function regionQuery(prefix) {
  const r = $("region").value;
  return r ? prefix + "region=" + encodeURIComponent(r) : "";
}

async function findOne() {
  const address = $("address").value.trim();
  if (!address) { say("住所を入力して下さい", true); return; }
  const res = await fetch("/geocode?address=" + encodeURIComponent(address) + regionQuery("&"));
  if (!res.ok) { say(await errorText(res), true); return; }
  const at = showAnswer(await res.json());
  say("1件を検索しました");
  if (at) map.setView(at, Math.max(map.getZoom(), 15));
}

async function findBatch() {
  const res = await fetch("/geocode?format=ndjson" + regionQuery("&"), {method: "POST", body: $("batch").value});
  if (!res.ok) { say(await errorText(res), true); return; }
  const text = await res.text();
  const found = [];
  let n = 0;
  for (const line of text.split("\n")) {
    if (!line) continue;
    n++;
    const at = showAnswer(JSON.parse(line));
    if (at) found.push(at);
  }
  say(n + "件を検索しました");
  if (found.length) map.fitBounds(L.latLngBounds(found), {padding: [30, 30], maxZoom: 16});
}

async function reverseAt(e) {
  const q = "/reverse?lat=" + e.latlng.lat.toFixed(6) + "&lon=" + e.latlng.lng.toFixed(6) + regionQuery("&");
  const res = await fetch(q);
  const box = $("reverse");
  if (!res.ok) { box.textContent = "逆引き: " + await errorText(res); box.className = "error"; return; }
  const body = await res.json();
  const list = Array.isArray(body) ? body : (body["住所"] || [body]);
  if (!list.length) { box.textContent = "逆引き: 近くに住所がありません"; box.className = ""; return; }
  const a = list[0];
  box.textContent = "逆引き: " + a["都道府県名"] + a["市区町村名"] + a["大字・町丁目"] + a["街区・番地"] +
    "（" + a["一致レベル"] + "、" + Math.round(a["距離"]) + " m）";
  box.className = "";
  L.popup().setLatLng(e.latlng).setContent(box.textContent).openOn(map);
}

$("find").addEventListener("click", findOne);
$("address").addEventListener("keydown", (e) => { if (e.key === "Enter") findOne(); });
$("findBatch").addEventListener("click", findBatch);
$("region").addEventListener("change", () => drawRegion($("region").value));
map.on("click", reverseAt);
loadRegions().catch((e) => say(String(e), true));
</script>
</body>
</html>
)HTML";

}  // namespace mrk2::serve

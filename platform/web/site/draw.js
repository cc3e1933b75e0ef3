// The drawing side of the page: the game's pictures and web fonts, and the
// few helpers the canvas renderer calls. What the first window draws is
// loaded before the program starts (named by index.html), the rest once it runs.
'use strict';

(function () {
  // Filled in by the build from the pictures it copies.
  const PICTURES = [/*QV_PICTURES*/];

  const FONTS = [
    ['Web Gothic', 'WebGothic', 'normal', 'normal'],
    ['Web Serif', 'WebSerif-Regular', 'normal', 'normal'],
    ['Web Serif', 'WebSerif-Bold', 'bold', 'normal'],
    ['Web Serif', 'WebSerif-Italic', 'normal', 'italic'],
    ['Web Serif', 'WebSerif-BoldItalic', 'bold', 'italic'],
    ['Web Sans', 'WebSans-Regular', 'normal', 'normal'],
    ['Web Sans', 'WebSans-Bold', 'bold', 'normal'],
    ['Web Sans', 'WebSans-Italic', 'normal', 'italic'],
    ['Web Sans', 'WebSans-BoldItalic', 'bold', 'italic'],
    ['Web Mono', 'WebMono-Regular', 'normal', 'normal'],
    ['Web Mono', 'WebMono-Bold', 'bold', 'normal'],
    ['Web Mono', 'WebMono-Italic', 'normal', 'italic'],
    ['Web Mono', 'WebMono-BoldItalic', 'bold', 'italic'],
  ];

  const pictures = new Map();
  const offscreens = new Map();
  const ascents = new Map();
  const colours = new Map();
  const measuring = document.createElement('canvas').getContext('2d');

  function loadPicture(name) {
    const image = new Image();
    image.src = 'pictures/' + name + '.png';
    return image.decode().then(
      () => { pictures.set(name, image); },
      () => { throw new Error('The picture pictures/' + name + '.png could not be loaded.'); });
  }

  function loadFont([family, file, weight, style]) {
    const face = new FontFace(family, 'url(fonts/' + file + '.woff2)', { weight, style });
    return face.load().then(
      (loaded) => { document.fonts.add(loaded); },
      () => { throw new Error('The font fonts/' + file + '.woff2 could not be loaded.'); });
  }

  // The names a <meta name="..."> of the page lists, space-separated.
  function listed(name) {
    const meta = document.querySelector(`meta[name="${name}"]`);
    return meta ? meta.content.split(/\s+/).filter(Boolean) : [];
  }

  const firstPictures = listed('qv-first-pictures');
  const firstFonts = listed('qv-first-fonts');
  const isFirstPicture = (name) => firstPictures.includes(name);
  const isFirstFont = (font) => firstFonts.includes(font[1]);
  const ready = Promise.all([...PICTURES.filter(isFirstPicture).map(loadPicture),
                             ...FONTS.filter(isFirstFont).map(loadFont)]).then(() => undefined);
  // page.js tells the player of a failure; it may look only after the
  // failure, which is then no unhandled rejection.
  ready.catch(() => {});
  let all = null;

  // The rest, asked for once the program runs, so as not to hold up its start.
  function loadAll() {
    if (!all) {
      all = ready.then(() => Promise.all([...PICTURES.filter((name) => !isFirstPicture(name)).map(loadPicture),
                                          ...FONTS.filter((font) => !isFirstFont(font)).map(loadFont)]))
        .then(() => undefined);
    }
    return all;
  }

  function measure(font, text) {
    measuring.font = font;
    measuring.fontKerning = 'none';
    return measuring.measureText(text);
  }

  window.qvDraw = {
    ready,
    loadAll,
    ctx: null,
    fonts: [], // CSS font strings, by the renderer's numbers

    picture(name) { return pictures.get(name) || null; },

    // A picture the page lacks is drawn as a marked placeholder, as the
    // desktop draws one, rather than left out.
    drawPicture(ctx, name, x, y, width, height) {
      const image = pictures.get(name);
      if (image) {
        ctx.imageSmoothingEnabled = false;
        ctx.drawImage(image, x, y, width, height);
        return;
      }
      ctx.fillStyle = '#808088';
      ctx.fillRect(x, y, width, height);
      ctx.strokeStyle = '#ff00ff';
      ctx.strokeRect(x + 0.5, y + 0.5, width - 1, height - 1);
    },

    context(target) { return target ? offscreens.get(target).getContext('2d') : this.ctx; },

    offscreen(handle) {
      let canvas = offscreens.get(handle);
      if (!canvas) {
        canvas = document.createElement('canvas');
        offscreens.set(handle, canvas);
      }
      return canvas;
    },

    dropOffscreen(handle) { offscreens.delete(handle); },

    colour(rgb) {
      let css = colours.get(rgb);
      if (css === undefined) {
        css = '#' + rgb.toString(16).padStart(6, '0');
        colours.set(rgb, css);
      }
      return css;
    },

    measure,

    ascent(font) {
      let value = ascents.get(font);
      if (value === undefined) {
        value = measure(font, '').fontBoundingBoxAscent;
        ascents.set(font, value);
      }
      return value;
    },
  };
})();

// setFilterGrid(id, refRow, props): the call the catalogue page makes, mapped onto TableFilter.
// The page is opened from disk with nothing beside it, so the library must never fetch a
// stylesheet, image or script by file: all of them are inside the page.
function setFilterGrid(id, refRow, props) {
    var config = {};
    for (var key in props) {
        if (Object.prototype.hasOwnProperty.call(props, key)) {
            config[key] = props[key];
        }
    }
    // The first entry of a drop-down filter has another key name here.
    if (Object.prototype.hasOwnProperty.call(config, 'display_all_text')) {
        config.clear_filter_text = config.display_all_text;
        delete config.display_all_text;
    }
    config.base_path = '';
    // The page's own style hides the help button; the library would add one anyway.
    config.help_instructions = false;
    if (config.sort) {
        delete config.sort;
        config.extensions = [{ name: 'sort', images_path: '', image_blank: @BLANK_IMAGE@ }];
    }

    var style = document.createElement('style');
    style.id = id + '_style';
    style.textContent = @STYLESHEET@;
    document.head.appendChild(style);

    var grid = new TableFilter(id, refRow, config);
    grid.import = function () {};
    grid.init();
    return grid;
}
